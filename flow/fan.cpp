#include "flow/fan.h"

#include <cmath>
#include <limits>

namespace velhorn::flow {

namespace {

const long double kPiLong = 4 * std::atan(1.0L);
const long double kDegreesPerRadianLong = 180 / kPiLong;

// Below this s = sqrt(M^2 - 1) the two arctangents cancel to a cube of s; a series keeps the bits.
constexpr double kSeriesLimit = 0.1;

// nu in radians from s, by the series sum over k of (-1)^(k+1) s^(2k+1) (1 - lambda^-2k) / (2k + 1).
// Each term is under a hundredth of the one before, so ten of them pass the long double's precision.
template <typename Real>
Real nuSeries(Real s, Real inverseLambdaSquared)
{
    const Real s2 = s * s;
    Real power = s * s2;
    Real q = inverseLambdaSquared;
    Real sum = 0;
    for (int k = 1; k <= 10; ++k) {
        const Real term = power * (1 - q) / (2 * k + 1);
        sum += (k % 2 == 1) ? term : -term;
        power *= s2;
        q *= inverseLambdaSquared;
    }
    return sum;
}

// nu in radians from s, to a few ulps in double: what the Newton passes steer by.
double nuFast(const Gas& gas, double s)
{
    if (s < kSeriesLimit)
        return nuSeries(s, 1 / gas.lambdaSquared());
    const double lambda = gas.lambda();
    return lambda * std::atan(s / lambda) - std::atan(s);
}

// The same in long double: eleven more bits, so the result rounds to the nearest double or next to it.
long double nuPrecise(const Gas& gas, long double s)
{
    const long double lambda = gas.lambdaLong();
    if (s < kSeriesLimit)
        return nuSeries(s, 1 / (lambda * lambda));
    return lambda * std::atan(s / lambda) - std::atan(s);
}

// d(nu)/ds, radians per unit s.
double nuSlope(const Gas& gas, double s)
{
    const double l2 = gas.lambdaSquared();
    const double s2 = s * s;
    return (l2 - 1) * s2 / ((l2 + s2) * (1 + s2));
}

// sqrt(M^2 - 1), formed from (M - 1)(M + 1), which stays exact near M = 1 where M * M - 1 does not.
long double sFromMach(long double M)
{
    return std::sqrt((M - 1) * (M + 1));
}

// s for which nu(s) = target radians, in long double. Safeguarded Newton in double on the fast
// nu, then one Newton step on the precise nu: the fast nu is off by a few ulps at most, well
// within that step's quadratic reach.
std::optional<long double> sFromNu(const Gas& gas, double target, long double targetLong)
{
    const double l2 = gas.lambdaSquared();
    const double nuMax = (gas.lambda() - 1) * (2 * std::atan(1.0));
    // Each guess is a lower bound of s in its own end of the range: nu < (1 - 1/l2) s^3 / 3 for
    // small s, and nu < nuMax - (l2 - 1) / s for large s.
    const double small = std::cbrt(3 * target / (1 - 1 / l2));
    const double large = (l2 - 1) / (nuMax - target);
    double s = std::fmax(small, large > 0 ? large : 0);
    double low = 0;
    double high = std::numeric_limits<double>::infinity();
    constexpr int kPassCap = 200;
    constexpr double kConverged = 1e-12;
    bool converged = false;
    for (int pass = 0; pass < kPassCap && !converged; ++pass) {
        if (!std::isfinite(s) || s > 1e150)
            return std::nullopt;  // the fast nu never reaches the target: it lies at nuMax
        const double f = nuFast(gas, s) - target;
        if (f == 0)
            break;
        (f < 0 ? low : high) = s;
        double next = s - f / nuSlope(gas, s);
        if (!(next > low && next < high)) {
            if (std::isinf(high))
                next = 4 * s;
            else if (low > 0 && high > 4 * low)
                next = std::sqrt(low * high);
            else
                next = (low + high) / 2;
        }
        converged = std::fabs(next - s) <= kConverged * s;
        s = next;
    }
    if (!converged && !(nuFast(gas, s) == target))
        return std::nullopt;
    const long double sl = s;
    return sl - (nuPrecise(gas, sl) - targetLong) / nuSlope(gas, s);
}

}  // namespace

double nuDegrees(const Gas& gas, double M)
{
    return static_cast<double>(nuPrecise(gas, sFromMach(M)) * kDegreesPerRadianLong);
}

double nuMaxDegrees(const Gas& gas)
{
    return static_cast<double>((gas.lambdaLong() - 1) * 90);
}

std::optional<double> machFromNu(const Gas& gas, double nu)
{
    if (!(nu >= 0) || !(nu < nuMaxDegrees(gas)))
        return std::nullopt;
    if (nu == 0)
        return 1.0;
    const long double targetLong = nu / kDegreesPerRadianLong;
    const auto s = sFromNu(gas, static_cast<double>(targetLong), targetLong);
    if (!s || !(*s > 0))
        return std::nullopt;
    const double M = static_cast<double>(std::sqrt(1 + *s * *s));
    if (!std::isfinite(M))
        return std::nullopt;
    return M;
}

std::optional<double> machFromMu(double mu)
{
    if (!(mu > 0) || !(mu <= 90))
        return std::nullopt;
    const double M = static_cast<double>(1 / std::sin(mu / kDegreesPerRadianLong));
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

State stateAt(const Gas& gas, double M)
{
    return stateAt(gas, M, nuDegrees(gas, M));
}

State stateAt(const Gas& gas, double M, double nu)
{
    State state;
    state.M = M;
    state.nu = nu;
    state.mu = static_cast<double>(std::atan2(1.0L, sFromMach(M)) * kDegreesPerRadianLong);
    // In long double: p/p0 raises T/T0 to gamma/(gamma - 1), which multiplies every rounding
    // of T/T0 and of the exponent by as much again as the logarithm of T0/T.
    const long double ML = M;
    const long double stagnation = 1 + gas.halfGammaMinusOneLong() * (ML * ML);  // T0 / T
    const long double pressure = std::exp(-gas.gammaOverGammaMinusOneLong() * std::log(stagnation));
    state.TOverT0 = static_cast<double>(1 / stagnation);
    state.pOverP0 = static_cast<double>(pressure);
    state.rhoOverRho0 = static_cast<double>(pressure * stagnation);  // rho / rho0 = (p / p0) (T0 / T)
    return state;
}

Fan fanBetween(const Gas& gas, const State& upstream, const State& downstream)
{
    Fan fan;
    fan.gamma = gas.gamma();
    fan.upstream = upstream;
    fan.downstream = downstream;
    fan.theta = downstream.nu - upstream.nu;
    fan.T2T1 = downstream.TOverT0 / upstream.TOverT0;
    fan.p2p1 = downstream.pOverP0 / upstream.pOverP0;  // p0 is the same on both sides of the fan
    fan.rho2rho1 = downstream.rhoOverRho0 / upstream.rhoOverRho0;
    fan.forwardMachLine = upstream.mu;
    fan.rearwardMachLine = downstream.mu - fan.theta;
    fan.nuMax = nuMaxDegrees(gas);
    fan.maxTurn = fan.nuMax - upstream.nu;
    return fan;
}

}  // namespace velhorn::flow
