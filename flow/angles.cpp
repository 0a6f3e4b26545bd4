#include "flow/angles.h"

#include <cmath>

namespace velhorn::flow {

using namespace dd;

SinCos sinCosDegrees(double degrees)
{
    if (!std::isfinite(degrees))
        return {degrees - degrees, degrees - degrees};
    // To -180..180, then to a quarter turn from the axis, each step exact in degrees.
    double d = std::fmod(degrees, 360);
    if (d > 180)
        d -= 360;
    else if (d < -180)
        d += 360;
    const double sign = std::signbit(d) ? -1 : 1;
    const bool back = std::fabs(d) > 90;
    const double quarter = back ? 180 - std::fabs(d) : std::fabs(d);
    const Wide x = multiply({quarter, 0}, kRadiansPerDegree);
    SinCos r;
    if (x.hi <= 0.78539816339744828) {
        r = sinCosSeries(x.hi);
    } else {
        // Beyond pi/4 from the complement, pi/2 - x, whose difference is exact in its high part.
        const SinCos far = sinCosSeries((kHalfPi.hi - x.hi) + (kHalfPi.lo - x.lo));
        r = {far.cos, far.sin};
    }
    return {sign * r.sin, back ? -r.cos : r.cos};
}

double directionDegrees(double dx, double dy)
{
    if (dx != 0 || dy != 0) {
        const Wide towards = arctanOfQuotient({std::fabs(dy), 0}, {std::fabs(dx), 0});
        const Wide angle = dx < 0 ? add({2 * kHalfPi.hi, 2 * kHalfPi.lo}, negate(towards)) : towards;
        const Wide degrees = multiply(angle, kDegreesPerRadian);
        const double bound = (towards.hi * kArctanError + angle.hi * 0x1p-100) * 57.3 + degrees.hi * 0x1p-100;
        if (const auto rounded = roundedIfSure(degrees, bound))
            return std::signbit(dy) ? -*rounded : *rounded;
    }
    return std::atan2(dy, dx) * (45 / std::atan(1.0));
}

double nearestArctan(double x)
{
    const double magnitude = std::fabs(x);
    if (magnitude >= 0x1p-900 && magnitude <= 0x1p900) {
        const Wide angle = arctanOfQuotient({magnitude, 0}, {1, 0});
        if (const auto rounded = roundedIfSure(angle, angle.hi * kArctanError * 2))
            return std::copysign(*rounded, x);
    }
    return std::atan(x);
}

double arctan(double x)
{
#ifdef __EMSCRIPTEN__
    return nearestArctan(x);
#else
    return std::atan(x);
#endif
}

// From double's tangent t0 = sin/cos, within a few ulps, one step: tan(a) = t0 + (a - atan t0)
// (1 + t0^2), whose remainder is about the square of t0's error. Below 10^-20 degrees tan is its
// argument to every bit kept.
Wide tangentOfDegrees(double degrees)
{
    const Wide radians = multiply({degrees, 0}, kRadiansPerDegree);
    if (degrees < 1e-20)
        return radians;
    const SinCos sc = sinCosDegrees(degrees);
    const double t0 = sc.sin / sc.cos;
    const Wide miss = add(radians, negate(arctanOfQuotient({t0, 0}, {1, 0})));
    return add({t0, 0}, multiply(miss, add({1, 0}, twoProduct(t0, t0))));
}

}  // namespace velhorn::flow
