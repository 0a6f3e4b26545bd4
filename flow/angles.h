#pragma once

#include "flow/double_double.h"

// Angles the same to the last bit in every build. The page's C library rounds sin, cos, tan and
// atan2 otherwise than the desktop's now and then, and a body's facet or a shock's deflection
// passes that on to every region behind it; these use only arithmetic every build rounds alike.
namespace velhorn::flow {

template <typename D>
struct SinCosOf {
    D sin;
    D cos;
};
using SinCos = SinCosOf<double>;

// sin x and cos x for |x| <= pi/4 from their Taylor series up to x^17 and x^18, for a double or
// for lanes; the terms left out are below 2^-60 of each.
template <typename D>
VELHORN_LANE_STEP SinCosOf<D> sinCosSeries(D x)
{
    // After the first term of each, polynomials in x^2: -1/3!, 1/5!, ... and -1/2!, 1/4!, ...
    constexpr double kSine[] = {-1.0 / 6,          1.0 / 120,           -1.0 / 5040,
                                1.0 / 362880,      -1.0 / 39916800,     1.0 / 6227020800,
                                -1.0 / 1307674368000, 1.0 / 355687428096000};
    constexpr double kCosine[] = {-0.5,          1.0 / 24,           -1.0 / 720,
                                  1.0 / 40320,   -1.0 / 3628800,     1.0 / 479001600,
                                  -1.0 / 87178291200, 1.0 / 20922789888000};
    const D x2 = x * x;
    D sine = dd::splat<D>(kSine[7]);
    D cosine = dd::splat<D>(kCosine[7]);
    for (int i = 6; i >= 0; --i) {  // Horner's rule
        sine = kSine[i] + x2 * sine;
        cosine = kCosine[i] + x2 * cosine;
    }
    return {x + x * x2 * sine, 1 + x2 * cosine};
}

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
