#include "flow/full_precision_fan.h"

#include "flow/angles.h"
#include "flow/double_double.h"
#include "flow/fan_parts.h"
#include "flow/long_double_arctan.h"

#include <bit>
#include <cmath>
#ifdef VELHORN_QUAD_RATIOS
#include <quadmath.h>
#endif
#include <cstdint>
#include <limits>
#include <type_traits>

namespace velhorn::flow {

namespace {

using namespace dd;

const long double kPiLong = 4 * std::atan(1.0L);
const long double kDegreesPerRadianLong = 180 / kPiLong;

// Below this s = sqrt(M^2 - 1) the two arctangents cancel to a cube of s; a series keeps the bits.
constexpr double kSeriesLimit = 0.1;

// nu in radians from s, by the series sum over k of (-1)^(k+1) s^(2k+1) (1 - q^k) / (2k + 1), where
// q = lambda^-2. Each term is under a fiftieth of the one before, so ten of them pass the long
// double's precision. 1 - q^k is formed directly while q is at most 1/2; nearer 1 (a large
// gamma) it would cancel to nothing, and is built up as (1 - q) + q (1 - q^(k-1)) instead, a sum
// of positive terms.
template <typename Real>
Real nuSeries(Real s, Real q, Real oneMinusQ)
{
    const bool buildUp = q > 0.5;
    const Real s2 = s * s;
    Real power = s * s2;
    Real qk = q;
    Real builtUp = oneMinusQ;
    Real sum = 0;
    for (int k = 1; k <= 10; ++k) {
        const Real term = power * (buildUp ? builtUp : 1 - qk) / (2 * k + 1);
        sum += (k % 2 == 1) ? term : -term;
        power *= s2;
        qk *= q;
        builtUp = oneMinusQ + q * builtUp;
    }
    return sum;
}

// atan(y / x): long double's from the table where it is the x87's; the C library's elsewhere,
// and in double, which the Newton passes steer by.
template <typename Real>
[[gnu::always_inline]] inline Real arctanOf(Real y, Real x)
{
    if constexpr (std::is_same_v<Real, long double> && kLongDoubleInHardware)
        return arctanOfQuotient(y, x);
    return std::atan(y / x);
}

// Above the series: lambda atan(s / lambda) - atan(s). As lambda nears 1 (gamma above 3) its two
// terms cancel down to lambda - 1, so it is rewritten there as (lambda - 1) atan(s / lambda)
// minus atan(s (lambda - 1) / (lambda + s^2)), the difference of the arctangents, where both
// terms carry lambda - 1 itself. Gases up to gamma = 3 keep the plain form and its results.
// The two terms, whose difference nu is.
template <typename Real>
struct Terms {
    Real first;
    Real second;
};
template <typename Real>
Terms<Real> nuClosedForm(Real s, Real lambda, Real lambdaMinusOne)
{
    if (lambdaMinusOne * (lambda + 1) >= 1)
        return {lambda * arctanOf(s, lambda), arctanOf(s, Real(1))};
    return {lambdaMinusOne * arctanOf(s, lambda), arctanOf(s * lambdaMinusOne, lambda + s * s)};
}

// nu in radians from s, to a few ulps in double: what the Newton passes steer by.
double nuFast(const Gas& gas, double s)
{
    if (s < kSeriesLimit)
        return nuSeries(s, 1 / gas.lambdaSquared(), static_cast<double>(gas.oneMinusInverseLambdaSquaredLong()));
    const auto terms = nuClosedForm(s, gas.lambda(), gas.lambdaMinusOne());
    return terms.first - terms.second;
}

// A long double result with a bound of its error.
struct Precise {
    long double value;
    long double bound;
};

// The same in long double: eleven more bits (the x87's) or sixty (software quad), so the result
// rounds to the nearest double or next to it. Each arctangent is within two or three ulps.
// `atanOfS`, where given, is atan(s), which the Mach angle shares.
Precise nuPreciseBounded(const Gas& gas, long double s, std::optional<long double> atanOfS = std::nullopt)
{
    const long double lambda = gas.lambdaLong();
    if (s < kSeriesLimit) {
        const long double nu = nuSeries(s, 1 / (lambda * lambda), gas.oneMinusInverseLambdaSquaredLong());
        return {nu, std::fabs(nu) * 16 * kLongEpsilon};
    }
    auto terms = atanOfS && gas.lambdaMinusOneLong() * (lambda + 1) >= 1
                     ? Terms<long double>{lambda * arctanOf(s, lambda), *atanOfS}
                     : nuClosedForm(s, lambda, gas.lambdaMinusOneLong());
    return {terms.first - terms.second, (std::fabs(terms.first) + std::fabs(terms.second)) * 7 * kLongEpsilon};
}

long double nuPrecise(const Gas& gas, long double s)
{
    return nuPreciseBounded(gas, s).value;
}

// ---- The fast path ----
// Air's ratios T/T0, p/p0 and rho/rho0 (and across a fan) are first evaluated in double-double
// arithmetic (a value as the unevaluated sum of two doubles, about 106 bits): T/T0 = 5/(5 + M^2)
// and the powers 3.5 and 2.5 as products and a square root, with a bound on the error. Where
// every value within that bound rounds to the same double, that double is the correctly rounded
// result; else (within about 2^-37 ulp of a midpoint between two doubles) the long double code
// decides, as it always did. exp and log1p in long double cost more than the rest of a state.
// fan_test checks the results against quad precision.

using parts::airFiveStagnation;
using parts::kWideMachLimit;

// T/T0, p/p0 and rho/rho0 from T/T0 in double-double; nothing where one of them is unsure.
struct Ratios {
    double T;
    double p;
    double rho;
};

std::optional<Ratios> airRatiosFast(Wide ratio)
{
    const parts::AirRatios<double> r = parts::airRatios(ratio);
    if (!r.sure)
        return std::nullopt;
    return Ratios{r.T, r.p, r.rho};
}

// On the x87 the same powers in long double go first, several times quicker still: T/T0 as
// 5 / (5 + M^2), or T2/T1 as (5 + M1^2) / (5 + M2^2), is within 5 of long double's half-ulps
// (2^-64), its root within 3.5, the density's T^2 root(T) within 15.5 and the pressure's within
// 21.5, counted in epsilons below with a little to spare. Nothing where one of them is unsure,
// about one time in forty, where double-double decides.
std::optional<Ratios> airRatiosLong(long double numerator, long double denominator)
{
    const long double T = numerator / denominator;
    const long double density = T * T * std::sqrt(T);
    const long double pressure = density * T;
    const Decision t = decisionOf(T, T * 3 * kLongEpsilon);
    const Decision p = decisionOf(pressure, pressure * 11 * kLongEpsilon);
    const Decision rho = decisionOf(density, density * 8 * kLongEpsilon);
    if (!t.sure || !p.sure || !rho.sure)
        return std::nullopt;
    return Ratios{t.value, p.value, rho.value};
}

// ---- Deciding the last bit ----
// The x87 does long double in hardware, faster than double-double, so it goes first there and
// double-double decides only where the long double result is too near a midpoint between two
// doubles. Where long double is software (the page's WebAssembly) double-double goes first.
// Either way every build rounds correctly unless both are unsure, so they agree bit for bit.
template <typename Wide, typename Long>
double decided(Wide wide, Long precise)
{
    if constexpr (!kLongDoubleInHardware) {
        if (const auto value = wide())
            return *value;
        return precise().value;
    }
    const Decision decision = precise();
    if (decision.sure)
        return decision.value;
    if (const auto value = wide())
        return *value;
    return decision.value;
}

// nu and mu share atan(s): mu is pi/2 less it, or above s = 1 atan(1/s), which it is then taken
// from, so neither cancels. In radians.
struct Arctangents {
    long double atanOfS;
    long double mu;
};

Arctangents arctangentsOf(long double s)
{
    if (s >= 1) {
        const long double mu = arctanOf(1.0L, s);
        return {kPiLong / 2 - mu, mu};
    }
    const long double atanOfS = arctanOf(s, 1.0L);
    return {atanOfS, kPiLong / 2 - atanOfS};
}

Decision nuDecision(const Gas& gas, long double s, long double atanOfS)
{
    const Precise nu = nuPreciseBounded(gas, s, atanOfS);
    const long double degrees = nu.value * kDegreesPerRadianLong;
    return decisionOf(degrees, nu.bound * 57.3L + std::fabs(degrees) * 2 * kLongEpsilon);
}

Decision muDecision(long double radians)
{
    const long double mu = radians * kDegreesPerRadianLong;
    return decisionOf(mu, std::fabs(mu) * 6 * kLongEpsilon);
}

// ---- nu and mu in double-double ----
// Both arctangents of nu = lambda atan(s / lambda) - atan(s), and mu = atan(1 / s), are formed in
// double-double with a bound of their error (counting the cancellation of nu's two terms, which
// a large gamma or a small s makes severe); where every value within it rounds to one double,
// that double is the correctly rounded angle, else the long double code decides. Two x87
// arctangents cost more than this, and in the page's WebAssembly long double is software.

// An angle in radians with a bound of its absolute error.
using BoundedAngle = parts::Bounded<double>;

// A decided double, or nothing where its bound left it unsure.
std::optional<double> ifSure(parts::Sure<double> value)
{
    if (!value.sure)
        return std::nullopt;
    return value.value;
}
using parts::kAngleError;
using parts::nuSlope;
using parts::sWide;

BoundedAngle nuWide(const Gas& gas, Wide s)
{
    return parts::nuWide(gas.lambdaWide(), s).nu;
}

std::optional<double> degreesIfSure(BoundedAngle angle)
{
    return ifSure(parts::degreesIfSure(angle));
}

std::optional<double> nuDegreesIfSure(const Gas& gas, double M)
{
    if (!(M > 1) || !(M <= kWideMachLimit))
        return std::nullopt;
    return degreesIfSure(nuWide(gas, sWide(M)));
}

std::optional<double> muDegreesIfSure(double M)
{
    if (!(M > 1) || !(M <= kWideMachLimit))
        return std::nullopt;
    const Wide s = sWide(M);
    const Wide angle = arctanOfQuotient({1, 0}, s);
    return degreesIfSure({angle, std::fabs(angle.hi) * kAngleError});
}

// sqrt(M^2 - 1), formed from (M - 1)(M + 1), which stays exact near M = 1 where M * M - 1 does not.
long double sFromMach(long double M)
{
    return std::sqrt((M - 1) * (M + 1));
}

// Below this the root lies where two terms of the series already give it to about s^4.
constexpr long double kSeriesStart = 1e-3L;
// Below this lambda - 1 (gamma above about 1e200) nu and its differences near the root come close
// to the doubles' subnormal range, where they lose their digits; the passes run in long double.
constexpr double kSmallestDoubleLambdaMinusOne = 1e-200;

// Safeguarded Newton on `nu` for s with nu(s) = target, from the first guess `s`, to a relative
// change of 1e-12, or of `lastStep` for a true Newton step, which leaves an error of about its
// square: enough where one more step follows; nothing where it does not get there.
template <typename Real, typename Nu>
std::optional<Real> newton(Nu nu, Real target, Real s, Real lambdaSquaredMinusOne, Real lastStep = 1e-12)
{
    Real low = 0;
    Real high = std::numeric_limits<Real>::infinity();
    constexpr int kPassCap = 200;
    constexpr Real kConverged = 1e-12;
    bool converged = false;
    for (int pass = 0; pass < kPassCap && !converged; ++pass) {
        if (!std::isfinite(s) || s > 1e150)
            return std::nullopt;  // the fast nu never reaches the target: it lies at nuMax
        const Real f = nu(s) - target;
        if (f == 0)
            break;
        (f < 0 ? low : high) = s;
        Real next = s - f / nuSlope(s, lambdaSquaredMinusOne);
        const bool newtonStep = next > low && next < high;
        if (!newtonStep) {
            if (std::isinf(high))
                next = 4 * s;
            else if (low > 0 && high > 4 * low)
                next = std::sqrt(low * high);
            else
                next = (low + high) / 2;
        }
        converged = std::fabs(next - s) <= (newtonStep ? lastStep : kConverged) * s;
        s = next;
    }
    if (!converged && !(nu(s) == target))
        return std::nullopt;
    return s;
}

// For air, a start within 0.05% of M from Hall's approximation, two Newton passes fewer than
// from the bounds below, which do better near M = 1, where its error is large beside s: nothing
// there.
std::optional<double> hallStart(double nuRadians)
{
    const double f = nuRadians / parts::kAirNuMaxRadians;
    const double M = parts::hallMach(std::cbrt(f * f));
    if (!(M > 1.1) || !(M < 1e6))
        return std::nullopt;
    return std::sqrt((M - 1) * (M + 1));
}

// s for which nu(s) = target radians, in long double. Near M = 1, from the series inverted; else
// safeguarded Newton in double on the fast nu, then one Newton step on the precise nu: the fast
// nu is off by a few ulps at most, well within that step's quadratic reach. Past gamma = 1e200
// the passes run on the precise nu itself.
// A root of the inverse: `rough` when it is the double passes' s, to be finished by one more step.
struct Root {
    long double s;
    bool rough = false;
};

// The double passes on the fast nu from `first`, to be finished by one more step: that squares
// what they leave, 1e-7 becoming about 1e-28.
std::optional<Root> roughRoot(const Gas& gas, double target, double first)
{
    const auto nu = [&](double s) { return nuFast(gas, s); };
    const auto s = newton(nu, target, first, gas.lambdaSquaredMinusOne(), 1e-7);
    if (!s)
        return std::nullopt;
    return Root{*s, true};
}

std::optional<Root> sFromNu(const Gas& gas, double nuDegrees)
{
    if constexpr (!kLongDoubleInHardware) {
        // Where long double is software its quotient costs more than the double passes, which
        // for air from Hall's start, far above the series, need only double's target: another
        // rounding of it moves where they end by an ulp, well within the finishing step's reach.
        const double target = multiply({nuDegrees, 0}, kRadiansPerDegree).hi;
        if (gas.isAir() && target > 1e-6) {
            if (const auto hall = hallStart(target))
                return roughRoot(gas, target, *hall);
        }
    }
    const long double targetLong = nuDegrees / kDegreesPerRadianLong;
    const long double d = gas.lambdaSquaredMinusOneLong();
    const long double oneMinusQ = gas.oneMinusInverseLambdaSquaredLong();
    // nu < (1 - q) s^3 / 3 for every s, so this is a lower bound of s, and close to it while s is
    // small. Formed in long double, where even the smallest double angle keeps its cube root;
    // where it is only the Newton passes' start, the double's root is as good and much quicker.
    const long double cube = 3 * targetLong / oneMinusQ;
    const auto cubeRoot = [&] {
        return cube > 1e-3L && cube < 1e300L ? static_cast<long double>(std::cbrt(static_cast<double>(cube)))
                                             : std::cbrt(cube);
    };
    // Well above the series' reach the root is taken only where Hall's start is not.
    if (cube < 2 * kSeriesStart * kSeriesStart * kSeriesStart && cubeRoot() < kSeriesStart) {
        const long double small = cubeRoot();
        // nu = (1 - q) s^3 / 3 (1 - 3 (1 + q) s^2 / 5 + ...), inverted to the same order.
        const long double q = 1 - oneMinusQ;
        const auto polish = [&](long double s) { return s - (nuPrecise(gas, s) - targetLong) / nuSlope(s, d); };
        return Root{polish(polish(small * (1 + (1 + q) / 5 * small * small)))};
    }
    // nuMax - nu < (lambda^2 - 1) / s for every s: an upper bound of s, and close while s is large.
    const auto bounds = [&] {
        const long double large = d / (gas.lambdaMinusOneLong() * (2 * std::atan(1.0L)) - targetLong);
        return std::fmax(cubeRoot(), large > 0 ? large : 0);
    };
    if (gas.lambdaMinusOne() < kSmallestDoubleLambdaMinusOne) {
        const auto nu = [&](long double s) { return nuPrecise(gas, s); };
        const auto s = newton(nu, targetLong, bounds(), d);
        if (!s)
            return std::nullopt;
        return Root{*s};
    }
    const double target = static_cast<double>(targetLong);
    const auto hall = gas.isAir() ? hallStart(target) : std::nullopt;
    return roughRoot(gas, target, hall ? *hall : static_cast<double>(bounds()));
}

// The last Newton step from the double passes' root in long double, and M from it. Its error
// as in the double-double step below.
// Where the arctangents of s were taken, `muAtS` receives mu there in radians, which the state's
// own Mach angle is then found from; on the x87 alone, where this step goes first. `nuAtS`, where
// given, receives nu at s, which nu of M itself can be found from.
Decision machFinishedPrecise(const Gas& gas, double s, long double targetLong, long double* muAtS = nullptr,
                             Precise* nuAtS = nullptr)
{
    const long double sl = s;
    std::optional<long double> atanOfS;
    if (kLongDoubleInHardware && muAtS && sl >= kSeriesLimit) {
        const Arctangents angles = arctangentsOf(sl);
        atanOfS = angles.atanOfS;
        *muAtS = angles.mu;
    }
    const Precise nu = nuPreciseBounded(gas, sl, atanOfS);
    if (nuAtS)
        *nuAtS = nu;
    const double slope = nuSlope(s, gas.lambdaSquaredMinusOne());
    const long double step = -(nu.value - targetLong) / slope;
    const long double finished = sl + step;
    const long double M = std::sqrt(1 + finished * finished);
    const long double sError = (nu.bound + std::fabs(targetLong) * 2 * kLongEpsilon) / slope * (1 + 0x1p-40L) +
                               std::fabs(step) * 0x1p-48L + 6 * step * step / sl;
    if (!std::isfinite(M) || !std::isfinite(sError))
        return {static_cast<double>(M), false};
    return decisionOf(M, M * (sError / sl + 4 * kLongEpsilon));
}

// The same step in double-double (parts::machFinished). `muAtS`, where given, receives mu at s
// in radians, and `nuAtS` nu at s.
std::optional<double> machFinishedIfSure(const Gas& gas, double s, double nuDegrees, BoundedAngle* muAtS = nullptr,
                                         BoundedAngle* nuAtS = nullptr)
{
    const parts::FinishedMach<double> finished =
        parts::machFinished(gas.lambdaWide(), gas.lambdaSquaredMinusOne(), s, nuDegrees);
    if (nuAtS)
        *nuAtS = finished.nuAtS;
    if (muAtS)
        *muAtS = finished.muAtS;
    return ifSure(finished.M);
}

// p/p0 and rho/rho0 (or p2/p1 and rho2/rho1) from the inverse temperature ratio T0/T and its
// logarithm: powers gamma/(gamma - 1) and 1/(gamma - 1) of T/T0, whose product with T0/T they
// differ by. exp passes on the rounding of its exponent magnified by the exponent itself, so
// above gamma = 2 only the density's smaller one goes through it; at or below, the pressure
// does, as it always has, and those gases keep their results.
struct Powers {
    long double pressure;
    long double density;
};
Powers powersOf(const Gas& gas, long double inverse, long double logInverse)
{
    if (gas.inverseGammaMinusOneLong() < 1) {
        const long double density = std::exp(-gas.inverseGammaMinusOneLong() * logInverse);
        return {density / inverse, density};
    }
    const long double pressure = std::exp(-gas.gammaOverGammaMinusOneLong() * logInverse);
    return {pressure, pressure * inverse};
}

// ---- Deciding the ratios' last bit ----
// Other gases' ratios are powers of T/T0 in long double; exp passes on the rounding of its
// exponent magnified by the exponent itself, and a product or quotient adds a few more. Where
// that leaves a ratio too near a midpoint, it is taken again in quad precision where the build
// has it (GCC's libquadmath on the x87); the page's long double is quad already.
Decision ratioDecision(long double value, long double exponent)
{
    return decisionOf(value, std::fabs(value) * (6 * std::fabs(exponent) + 8) * kLongEpsilon);
}

struct RatioDecisions {
    Decision T;
    Decision p;
    Decision rho;
    [[nodiscard]] bool sure() const { return T.sure && p.sure && rho.sure; }
};

RatioDecisions decideRatios(const Gas& gas, long double T, const Powers& powers, long double logInverse)
{
    const long double exponent = gas.gammaOverGammaMinusOneLong() * logInverse;
    return {decisionOf(T, std::fabs(T) * 3 * kLongEpsilon), ratioDecision(powers.pressure, exponent),
            ratioDecision(powers.density, exponent)};
}

#ifdef VELHORN_QUAD_RATIOS
using Quad = __float128;

// (gamma - 1) / 2, gamma / (gamma - 1) and 1 / (gamma - 1), air's from exactly 7/5.
struct QuadGas {
    Quad k;
    Quad pressurePower;
    Quad densityPower;
};

QuadGas quadGas(const Gas& gas)
{
    if (gas.isAir())
        return {Quad(1) / 5, Quad(7) / 2, Quad(5) / 2};
    const Quad g = gas.gamma();
    return {(g - 1) / 2, g / (g - 1), 1 / (g - 1)};
}

// T/T0 or T2/T1 given as a quotient of two values of 1 + k M^2, and its powers, each rounded once.
RatioDecisions quadRatios(const QuadGas& q, Quad numerator, Quad denominator)
{
    const Quad ratio = numerator / denominator;
    const Quad log = logq(numerator) - logq(denominator);
    return {{static_cast<double>(ratio), true},
            {static_cast<double>(expq(q.pressurePower * log)), true},
            {static_cast<double>(expq(q.densityPower * log)), true}};
}
#endif

// The decided ratios, from quad precision where the long double ones are unsure and it is there.
RatioDecisions settledRatios(const Gas& gas, RatioDecisions ratios, double M1, double M2)
{
#ifdef VELHORN_QUAD_RATIOS
    if (!ratios.sure()) {
        const QuadGas q = quadGas(gas);
        const auto stagnation = [&](double M) { return 1 + q.k * (Quad(M) * Quad(M)); };
        return quadRatios(q, stagnation(M1), stagnation(M2));
    }
#else
    (void)gas, (void)M1, (void)M2;
#endif
    return ratios;
}

}  // namespace

double nuDegrees(const Gas& gas, double M)
{
    return decided([&] { return nuDegreesIfSure(gas, M); },
                   [&] {
                       const long double s = sFromMach(M);
                       return nuDecision(gas, s, arctangentsOf(s).atanOfS);
                   });
}

double nuMaxDegrees(const Gas& gas)
{
    return static_cast<double>(gas.lambdaMinusOneLong() * 90);
}

namespace {

State withRatios(const Gas& gas, State state);

// M from nu, and mu and nu in radians at s, the root its last step started from, where long
// double or double-double took that step.
struct Inverse {
    double M;
    std::optional<long double> muAtS;
    std::optional<BoundedAngle> muWideAtS;
    double s;
    std::optional<Precise> nuAtS;
    std::optional<BoundedAngle> nuWideAtS;
};

std::optional<Inverse> inverseOf(const Gas& gas, double nu)
{
    if (!(nu >= 0) || !(nu < nuMaxDegrees(gas)))
        return std::nullopt;
    if (nu == 0)
        return Inverse{1.0, std::nullopt, std::nullopt, 0, std::nullopt, std::nullopt};
    auto root = sFromNu(gas, nu);
    if (!root)
        return std::nullopt;
    if (root->rough) {
        const double rough = static_cast<double>(root->s);
        long double mu = std::numeric_limits<long double>::quiet_NaN();
        std::optional<BoundedAngle> muWide, nuWide;
        std::optional<Precise> nuPrecise;
        const double M = decided(
            [&] {
                BoundedAngle angle{}, atS{};
                const auto finished = machFinishedIfSure(gas, rough, nu, &angle, &atS);
                if (finished) {
                    muWide = angle;
                    nuWide = atS;
                }
                return finished;
            },
            [&] {
                Precise atS{};
                const Decision finished = machFinishedPrecise(gas, rough, nu / kDegreesPerRadianLong, &mu, &atS);
                nuPrecise = atS;
                return finished;
            });
        if (!(M >= 1) || !std::isfinite(M))
            return std::nullopt;
        return Inverse{M, std::isnan(mu) ? std::nullopt : std::optional(mu), muWide, rough, nuPrecise, nuWide};
    }
    const long double s = root->s;
    if (!(s > 0))
        return std::nullopt;
    const double M = static_cast<double>(std::sqrt(1 + s * s));
    if (!std::isfinite(M))
        return std::nullopt;
    return Inverse{M, std::nullopt, std::nullopt, 0, std::nullopt, std::nullopt};
}

// mu at M from mu at a nearby s: atan(1/s) moves by -1/(1 + s^2) per unit of s, and the next
// term, s / (1 + s^2)^2 times the step squared, is counted twice over in the bound. The step is
// about the last Newton step, a part in 10^13 or less of s.
Decision muNear(double M, long double muAtS, long double s)
{
    const long double sM = sFromMach(M);
    const long double step = sM - s;
    const long double curve = 1 + s * s;
    const long double radians = muAtS - step / curve;
    const long double degrees = radians * kDegreesPerRadianLong;
    return decisionOf(degrees, std::fabs(degrees) * 7 * kLongEpsilon + 2 * step * step * s / (curve * curve) * 57.3L);
}

std::optional<double> muNearIfSure(double M, BoundedAngle muAtS, double s)
{
    return ifSure(parts::muNear(M, muAtS, s));
}

// mu at M from the inverse's last step where it took one and that decides, else from M's own s.
std::optional<double> muWideAt(double M, const Inverse* inverse)
{
    if (inverse && inverse->muWideAtS) {
        if (const auto mu = muNearIfSure(M, *inverse->muWideAtS, inverse->s))
            return mu;
    }
    return muDegreesIfSure(M);
}

Decision muPreciseAt(double M, const Inverse* inverse)
{
    if (kLongDoubleInHardware && inverse && inverse->muAtS)
        return muNear(M, *inverse->muAtS, inverse->s);
    return muDecision(std::atan2(1.0L, sFromMach(M)));
}

double muOf(double M, const Inverse* inverse)
{
    return decided([&] { return muWideAt(M, inverse); }, [&] { return muPreciseAt(M, inverse); });
}

// The state at M whose nu is known, as when M was found from it by `inverse` (or by the caller).
State stateWithNu(const Gas& gas, double M, double nu, const Inverse* inverse)
{
    State state;
    state.M = M;
    state.nu = nu;
    state.mu = muOf(M, inverse);
    return withRatios(gas, state);
}

// nu at M from nu at the inverse's last s, as mu is taken above: the step to M's own s, a part in
// 10^13 of s or less, times the slope, and the next term, under 3/s of the slope times the step
// squared, counted twice over in the bound. Saves the two arctangents of nu(M) itself.
Decision nuNear(const Gas& gas, double M, const Precise& nuAtS, long double s)
{
    const long double sM = sFromMach(M);
    const long double step = sM - s;
    const double slope = nuSlope(static_cast<double>(s), gas.lambdaSquaredMinusOne());
    const long double correction = slope * step;
    const long double degrees = (nuAtS.value + correction) * kDegreesPerRadianLong;
    const long double bound = nuAtS.bound + std::fabs(correction) * 0x1p-50L + 6 * slope * (step * step) / s +
                              slope * sM * 2 * kLongEpsilon;
    return decisionOf(degrees, bound * 57.3L + std::fabs(degrees) * 2 * kLongEpsilon);
}

std::optional<double> nuNearIfSure(const Gas& gas, double M, const BoundedAngle& nuAtS, double s)
{
    return ifSure(parts::nuNear(M, nuAtS, s, gas.lambdaSquaredMinusOne()));
}

// nu of M itself, from the inverse's last step where that decides, else worked out afresh.
double nuOf(const Gas& gas, double M, const Inverse& inverse)
{
    if (kLongDoubleInHardware && inverse.nuAtS) {
        if (const Decision nu = nuNear(gas, M, *inverse.nuAtS, inverse.s); nu.sure)
            return nu.value;
    }
    if (inverse.nuWideAtS) {
        if (const auto nu = nuNearIfSure(gas, M, *inverse.nuWideAtS, inverse.s))
            return *nu;
    }
    return nuDegrees(gas, M);
}

}  // namespace

std::optional<double> machFromNu(const Gas& gas, double nu)
{
    const auto inverse = inverseOf(gas, nu);
    if (!inverse)
        return std::nullopt;
    return inverse->M;
}

std::optional<State> stateFromNu(const Gas& gas, double nu)
{
    const auto inverse = inverseOf(gas, nu);
    if (!inverse)
        return std::nullopt;
    return stateWithNu(gas, inverse->M, nu, &*inverse);
}

std::optional<Angles> anglesFromNu(const Gas& gas, double nu)
{
    const auto inverse = inverseOf(gas, nu);
    if (!inverse)
        return std::nullopt;
    return Angles{inverse->M, nuOf(gas, inverse->M, *inverse), muOf(inverse->M, &*inverse)};
}

std::optional<double> machFromMu(double mu)
{
    if (!(mu > 0) || !(mu <= 90))
        return std::nullopt;
    double M;
    if constexpr (kLongDoubleInHardware) {
        M = static_cast<double>(1 / std::sin(mu / kDegreesPerRadianLong));
    } else {
        // sqrt(1 + t^2) / t from t = tan(mu) in double-double, as the page has no long double
        // trigonometry.
        const Wide t = tangentOfDegrees(mu);
        M = divide(squareRoot(add({1, 0}, multiply(t, t))), t).hi;
    }
    if (!std::isfinite(M))
        return std::nullopt;
    return mu == 90 ? 1.0 : M;
}

double lowestMuDegrees()
{
    static const double lowest = [] {
        // About 1 / DBL_MAX radians, then stepped to the first double whose Mach number is finite.
        double mu = static_cast<double>(kDegreesPerRadianLong / std::numeric_limits<double>::max());
        while (!machFromMu(mu))
            mu = std::nextafter(mu, 90.0);
        while (machFromMu(std::nextafter(mu, 0.0)))
            mu = std::nextafter(mu, 0.0);
        return mu;
    }();
    return lowest;
}

namespace {

// T/T0, p/p0 and rho/rho0 of a state whose M is set.
State withRatios(const Gas& gas, State state)
{
    const double M = state.M;
    if (gas.isAir() && M <= kWideMachLimit) {
        const long double ML = M;
        auto r = kLongDoubleInHardware ? airRatiosLong(5, 5 + ML * ML) : std::nullopt;
        if (!r)
            r = airRatiosFast(divide(Wide{5, 0}, airFiveStagnation(M)));
        if (r) {
            state.TOverT0 = r->T;
            state.pOverP0 = r->p;
            state.rhoOverRho0 = r->rho;
            return state;
        }
    }
    // In long double: p/p0 raises T/T0 to gamma/(gamma - 1), which multiplies every rounding
    // of T/T0 and of the exponent by as much again as the logarithm of T0/T. That logarithm is
    // log1p of (gamma - 1)/2 M^2, which keeps its digits when gamma - 1 makes T0/T nearly 1.
    const long double ML = M;
    const long double rise = gas.halfGammaMinusOneLong() * (ML * ML);  // T0 / T - 1
    const long double stagnation = 1 + rise;
    const long double logInverse = std::log1p(rise);
    const RatioDecisions r = settledRatios(
        gas, decideRatios(gas, 1 / stagnation, powersOf(gas, stagnation, logInverse), logInverse), 0, M);
    state.TOverT0 = r.T.value;
    state.pOverP0 = r.p.value;
    state.rhoOverRho0 = r.rho.value;
    return state;
}

}  // namespace

State stateAt(const Gas& gas, double M)
{
    if constexpr (!kLongDoubleInHardware)
        return stateAt(gas, M, nuDegrees(gas, M));
    const long double s = sFromMach(M);
    const Arctangents angles = arctangentsOf(s);
    State state;
    state.M = M;
    state.nu = decided([&] { return nuDegreesIfSure(gas, M); }, [&] { return nuDecision(gas, s, angles.atanOfS); });
    state.mu = decided([&] { return muDegreesIfSure(M); }, [&] { return muDecision(angles.mu); });
    return withRatios(gas, state);
}

State stateAt(const Gas& gas, double M, double nu)
{
    return stateWithNu(gas, M, nu, nullptr);
}

Fan fanBetween(const Gas& gas, const State& upstream, const State& downstream)
{
    Fan fan;
    fan.gamma = gas.gamma();
    fan.upstream = upstream;
    fan.downstream = downstream;
    fan.theta = downstream.nu - upstream.nu;
    fan.forwardMachLine = upstream.mu;
    fan.rearwardMachLine = downstream.mu - fan.theta;
    fan.nuMax = nuMaxDegrees(gas);
    fan.maxTurn = fan.nuMax - upstream.nu;
    const Across across = ratiosAcross(gas, upstream.M, downstream.M);
    fan.T2T1 = across.T2T1;
    fan.p2p1 = across.p2p1;
    fan.rho2rho1 = across.rho2rho1;
    return fan;
}

Across ratiosAcross(const Gas& gas, double upstreamM, double downstreamM)
{
    // From the two Mach numbers, not as quotients of the states' ratios, which lose their digits
    // when p/p0 is subnormal or nought; p0 and rho0 are the same on both sides of the fan. The
    // logarithm of T1/T2 = b/a is log1p of (b - a)/a, formed from M2 - M1 so that a small turn
    // keeps its digits, unless T1/T2 is below 1/2, where that log1p would cancel instead.
    if (gas.isAir() && upstreamM <= kWideMachLimit && downstreamM <= kWideMachLimit) {
        const long double M1 = upstreamM, M2 = downstreamM;
        auto r = kLongDoubleInHardware ? airRatiosLong(5 + M1 * M1, 5 + M2 * M2) : std::nullopt;
        if (!r)
            r = airRatiosFast(divide(airFiveStagnation(upstreamM), airFiveStagnation(downstreamM)));
        if (r)
            return {r->T, r->p, r->rho};
    }
    const long double M1 = upstreamM;
    const long double M2 = downstreamM;
    const long double k = gas.halfGammaMinusOneLong();
    const long double a = 1 + k * (M1 * M1);  // T0 / T1
    const long double b = 1 + k * (M2 * M2);  // T0 / T2
    const long double rise = k * ((M2 - M1) * (M2 + M1)) / a;
    const long double logInverse = rise > -0.5L ? std::log1p(rise) : std::log(b / a);
    const RatioDecisions r = settledRatios(
        gas, decideRatios(gas, a / b, powersOf(gas, b / a, logInverse), logInverse), upstreamM, downstreamM);
    return {r.T.value, r.p.value, r.rho.value};
}

}  // namespace velhorn::flow
