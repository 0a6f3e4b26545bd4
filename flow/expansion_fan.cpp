#include "flow/expansion_fan.h"

#include "flow/angles.h"

#include <cmath>
#include <stdexcept>

namespace velhorn::flow {

namespace {

// nu(M) in radians, evaluated in a fixed order so that every caller gets the same bits.
double nuRadians(double M, double Lambda, double& s)
{
    s = std::sqrt(M * M - 1);
    return Lambda * arctan(s / Lambda) - arctan(s);
}

}  // namespace

ExpansionFan::ExpansionFan(const Gas& gas)
    : Pi(4 * std::atan(1.0)), DegRad(Pi / 180), Lambda(gas.lambda()), gas_(gas)
{
}

void ExpansionFan::Nu_için_hesap(double M, double& Nu) const
{
    if (!(M >= 1))
        throw std::domain_error("the turning-angle function needs a Mach number of at least 1");
    double s = 0;
    Nu = nuRadians(M, Lambda, s) / DegRad;
}

InversionOutcome ExpansionFan::M_için_hesap(double Nu, double /*TetaD*/, double& M) const
{
    const Inversion result = invert(Nu);
    M = result.M;
    return result.outcome;
}

Inversion ExpansionFan::invert(double NuDegrees) const
{
    // Newton's iteration from a fixed start, testing the angle residual before each update.
    // It stops early only where a plain loop would take the root of a negative number or
    // overflow, so every target that has a solution gets the same bits either way.
    const double target = NuDegrees * DegRad;
    Inversion result;
    result.M = std::sqrt(2.5);
    for (int i = 1; i <= kStepCap; ++i) {
        const double M = result.M;
        if (!std::isfinite(M * M)) {
            result.outcome = InversionOutcome::Overflow;
            return result;
        }
        if (M * M - 1 < 0) {
            result.outcome = InversionOutcome::IterateBelowOne;
            return result;
        }
        double s = 0;
        const double f = nuRadians(M, Lambda, s) - target;
        if (std::fabs(f) < kToleranceRadians)
            return result;
        const double fPrime = (s / M) / (1 + gas_.halfGammaMinusOne() * std::pow(M, 2));
        result.M = M - f / fPrime;
        ++result.updates;
        if (!std::isfinite(result.M)) {
            result.outcome = InversionOutcome::Overflow;
            return result;
        }
    }
    result.outcome = InversionOutcome::StepCapReached;
    return result;
}

double ExpansionFan::nuLimitDegrees() const
{
    return (Lambda - 1) * 90;
}

}  // namespace velhorn::flow
