#pragma once

#include "flow/double_double.h"

#include <limits>

// The fan engine's double-double steps, written once for a double and for Lanes: the engine
// takes them a case at a time, the fan kernel eight cases at a time, to the same bits. Each gives
// a value with a bound of its error, or a double with whether it is surely the correctly
// rounded one (a mask, for Lanes).
namespace velhorn::flow::parts {

using dd::Pair;

// Each arctangent's error, plus a few 2^-104 from the steps around it.
inline constexpr double kAngleError = 2 * dd::kArctanError;
// 256 times the count of 2^-98 that air's powers are within.
inline constexpr double kPowerError = 0x1p-90;
// Moderate Mach numbers only: the powers stay normal doubles in both their parts.
inline constexpr double kWideMachLimit = 1e30;

// The mask type of D: bool for a double.
template <typename D>
using MaskOf = decltype(dd::isLess(D{}, D{}));

// An angle in radians with a bound of its absolute error.
template <typename D>
struct Bounded {
    Pair<D> radians;
    D bound;
};

template <typename D>
struct Sure {
    D value;
    MaskOf<D> sure;
};

template <typename D>
VELHORN_LANE_STEP MaskOf<D> isFiniteIn(D x)
{
    return dd::isLessOrEqual(dd::absOf(x), dd::splat<D>(std::numeric_limits<double>::max()));
}

// s = sqrt(M^2 - 1) to a few 2^-104: M - 1 and M + 1 are exact as two doubles.
template <typename D>
VELHORN_LANE_STEP Pair<D> sWide(D M)
{
    return squareRoot(multiply(dd::twoSum(M, dd::splat<D>(-1)), dd::twoSum(M, dd::splat<D>(1))));
}

// nu = lambda atan(s / lambda) - atan(s) in radians, and atan(s), within kAngleError of itself.
template <typename D>
struct NuAndArctan {
    Bounded<D> nu;
    Pair<D> atanOfS;
};
template <typename D>
VELHORN_LANE_STEP NuAndArctan<D> nuWide(Pair<D> lambda, Pair<D> s)
{
    const Pair<D> outer = multiply(lambda, dd::arctanOfQuotient(s, lambda));
    const Pair<D> inner = dd::arctanOfQuotient(s, dd::splat<D>(dd::Wide{1, 0}));
    return {{add(outer, negate(inner)), (outer.hi + inner.hi) * kAngleError}, inner};
}

// mu = pi/2 - atan(s), whose difference rounds to a few 2^-106 of pi/2 however small mu is.
template <typename D>
VELHORN_LANE_STEP Bounded<D> muFromArctanOfS(Pair<D> atanOfS)
{
    return {add(dd::splat<D>(dd::kHalfPi), negate(atanOfS)), atanOfS.hi * kAngleError + 0x1p-100};
}

template <typename D>
VELHORN_LANE_STEP Sure<D> degreesIfSure(Bounded<D> angle)
{
    const Pair<D> degrees = multiply(angle.radians, dd::splat<D>(dd::kDegreesPerRadian));
    return {degrees.hi, dd::surelyRoundsIn(degrees, (angle.bound + dd::absOf(angle.radians.hi) * 0x1p-100) * 57.3)};
}

// d(nu)/ds, radians per unit s: (lambda^2 - 1) s^2 / ((lambda^2 + s^2)(1 + s^2)).
template <typename Real>
VELHORN_LANE_STEP Real nuSlope(Real s, Real lambdaSquaredMinusOne)
{
    const Real s2 = s * s;
    return lambdaSquaredMinusOne * s2 / ((1 + lambdaSquaredMinusOne + s2) * (1 + s2));
}

// For air, M within 0.05% from y = (nu / nuMax)^(2/3): Hall's rational approximation of the
// inverse (I. M. Hall, Aeronautical Journal 79, 1975).
inline constexpr double kAirNuMaxRadians = 2.2768531636906952;  // (sqrt 6 - 1) pi / 2
template <typename Real>
VELHORN_LANE_STEP Real hallMach(Real y)
{
    return (1 + y * (1.3604 + y * (0.0962 - 0.5127 * y))) / (1 - y * (0.6722 + 0.3278 * y));
}

// The last Newton step of the inverse from the double passes' root s, toward nu = `nuDegrees`,
// in double-double, and M = sqrt(1 + s^2) from it, sure if the bound of its error allows only
// one double. The step's error: that of nu, through the slope, and the Newton remainder, under
// 3/s of the step squared (|nu''/nu'| <= 6/s), doubled for safety. Also nu and mu at s, which the
// state's own nu and mu can be found from.
template <typename D>
struct FinishedMach {
    Sure<D> M;
    Bounded<D> nuAtS;
    Bounded<D> muAtS;
};
template <typename D>
VELHORN_LANE_STEP FinishedMach<D> machFinished(Pair<D> lambda, D lambdaSquaredMinusOne, D s, D nuDegrees)
{
    const NuAndArctan<D> at = nuWide(lambda, Pair<D>{s, D{}});
    const Bounded<D> nu = at.nu;
    const Pair<D> target = multiply(Pair<D>{nuDegrees, D{}}, dd::splat<D>(dd::kRadiansPerDegree));
    const Pair<D> miss = add(nu.radians, negate(target));
    const D slope = nuSlope(s, lambdaSquaredMinusOne);
    const D step = -miss.hi / slope;
    const Pair<D> finished = dd::quickTwoSum(s, step);
    const D sError = (nu.bound + dd::absOf(target.hi) * 0x1p-100) / slope * (1 + 0x1p-40) +
                     dd::absOf(step) * 0x1p-48 + 6 * step * step / s;
    const Pair<D> M = squareRoot(add(dd::splat<D>(dd::Wide{1, 0}), multiply(finished, finished)));
    const auto inRange = dd::both(dd::isLess(D{}, s), dd::isLessOrEqual(s, dd::splat<D>(kWideMachLimit)));
    const auto sure = dd::both(dd::both(inRange, isFiniteIn(sError)),
                               dd::surelyRoundsIn(M, M.hi * (sError / s + 0x1p-100)));
    return {{M.hi, sure}, nu, muFromArctanOfS(at.atanOfS)};
}

// mu at M from mu at a nearby s: atan(1/s) moves by -1/(1 + s^2) per unit of s, and the next
// term, s / (1 + s^2)^2 times the step squared, is counted twice over in the bound. The step from
// s to M's own s, a part in 10^13 of s or less, is taken in double (its error some 2^-52 of it),
// and M's s is within 2^-100 of itself.
template <typename D>
VELHORN_LANE_STEP Sure<D> muNear(D M, Bounded<D> muAtS, D s)
{
    const Pair<D> step = add(sWide(M), Pair<D>{-s, D{}});
    const D curve = 1 + s * s;
    const D correction = step.hi / curve;
    const Pair<D> radians = add(muAtS.radians, Pair<D>{-correction, D{}});
    const Sure<D> mu = degreesIfSure(Bounded<D>{radians, muAtS.bound + 2 * step.hi * step.hi * s / (curve * curve) +
                                                              dd::absOf(correction) * 0x1p-50 +
                                                              dd::absOf(radians.hi) * 0x1p-100});
    const auto inRange = dd::both(dd::isLess(dd::splat<D>(1), M), dd::isLessOrEqual(M, dd::splat<D>(kWideMachLimit)));
    return {mu.value, dd::both(mu.sure, inRange)};
}

// nu at M from nu at a nearby s in the same way: the step to M's own s times the slope, and the
// next term, under 3/s of the slope times the step squared, counted twice over in the bound.
template <typename D>
VELHORN_LANE_STEP Sure<D> nuNear(D M, Bounded<D> nuAtS, D s, D lambdaSquaredMinusOne)
{
    const Pair<D> step = add(sWide(M), Pair<D>{-s, D{}});
    const D slope = nuSlope(s, lambdaSquaredMinusOne);
    const D correction = slope * step.hi;
    const Pair<D> radians = add(nuAtS.radians, Pair<D>{correction, D{}});
    const Sure<D> nu = degreesIfSure(Bounded<D>{radians, nuAtS.bound + 6 * slope * step.hi * step.hi / s +
                                                              dd::absOf(correction) * 0x1p-50 +
                                                              dd::absOf(radians.hi) * 0x1p-100});
    const auto inRange = dd::both(dd::isLess(dd::splat<D>(1), M), dd::isLessOrEqual(M, dd::splat<D>(kWideMachLimit)));
    return {nu.value, dd::both(nu.sure, inRange)};
}

// Air's T/T0, p/p0 and rho/rho0 (or the ratios across a fan) from T/T0 in double-double: the
// powers 3.5 and 2.5 as products and a root, under 2^-98 of the value from x within a few 2^-104.
template <typename D>
struct AirRatios {
    D T;
    D p;
    D rho;
    MaskOf<D> sure;
};
template <typename D>
VELHORN_LANE_STEP AirRatios<D> airRatios(Pair<D> ratio)
{
    const Pair<D> x2 = multiply(ratio, ratio);
    const Pair<D> density = multiply(x2, squareRoot(ratio));
    const Pair<D> pressure = multiply(density, ratio);
    const auto sure = dd::both(
        dd::surelyRoundsIn(ratio, dd::absOf(ratio.hi) * 0x1p-96),
        dd::both(dd::surelyRoundsIn(pressure, dd::absOf(pressure.hi) * kPowerError),
                 dd::surelyRoundsIn(density, dd::absOf(density.hi) * kPowerError)));
    return {ratio.hi, pressure.hi, density.hi, sure};
}

// 5 T0/T = 5 + M^2, exactly 7/5's, to a few 2^-106: M^2 is exact as two doubles.
template <typename D>
VELHORN_LANE_STEP Pair<D> airFiveStagnation(D M)
{
    return add(dd::splat<D>(dd::Wide{5, 0}), dd::twoProduct(M, M));
}

}  // namespace velhorn::flow::parts
