#pragma once

// A body's angles, the same to the last bit in every build. The page's C library rounds sin,
// cos, tan and atan2 otherwise than the desktop's now and then, and a facet's angle passes that
// on to every region behind it; these use only arithmetic that every build rounds alike.
namespace velhorn::bodies {

struct SinCos {
    double sin;
    double cos;
};

// sin and cos of an angle in degrees, within about an ulp.
[[nodiscard]] SinCos sinCosDegrees(double degrees);

// The direction of (dx, dy) from the x axis in degrees, as atan2 gives it: the nearest double,
// from the double-double arctangent (the C library's atan2 in the rare case it cannot tell).
[[nodiscard]] double directionDegrees(double dx, double dy);

}  // namespace velhorn::bodies
