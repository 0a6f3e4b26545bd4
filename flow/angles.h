#pragma once

#include "flow/double_double.h"

// Angles the same to the last bit in every build. The page's C library rounds sin, cos, tan and
// atan2 otherwise than the desktop's now and then, and a body's facet or a shock's deflection
// passes that on to every region behind it; these use only arithmetic every build rounds alike.
namespace velhorn::flow {

struct SinCos {
    double sin;
    double cos;
};

// sin and cos of an angle in degrees, within about an ulp.
[[nodiscard]] SinCos sinCosDegrees(double degrees);

// The direction of (dx, dy) from the x axis in degrees, as atan2 gives it: the nearest double,
// from the double-double arctangent (the C library's atan2 in the rare case it cannot tell).
[[nodiscard]] double directionDegrees(double dx, double dy);

// atan(x) in radians, the nearest double: from the double-double arctangent, or the C library's
// in the rare case that cannot tell.
[[nodiscard]] double nearestArctan(double x);

// The window's atan: the C library's on the desktop, where glibc's is the nearest double as far
// as is known (the tests hold it to that); on the page nearestArctan, as musl's now and then is
// not, and the window's inverse magnifies its last bit into the ratios' digits.
[[nodiscard]] double arctan(double x);

// tan of an angle in degrees from 0 to below 90 in double-double, within some 2^-78 of itself
// (the arctangent's error) relative to the value, or near 90 degrees to its slope times that.
[[nodiscard]] dd::Wide tangentOfDegrees(double degrees);

}  // namespace velhorn::flow
