#include "bodies/records.h"

#include "press/records.h"
#include "text/number_text.h"

#include <cmath>

namespace velhorn::bodies {

std::array<double, kShockColumns.size()> shockValues(const flow::Shock& s, const flow::ShockLimits& l)
{
    return {s.gamma, s.M1,       s.theta, s.beta,    s.strong ? 1.0 : 0.0, s.M2,       s.Mn1,       s.Mn2,
            s.p2p1,  s.rho2rho1, s.T2T1,  s.p02p01,  l.thetaMax,           l.betaMax,  l.thetaSonic};
}

std::string_view waveName(flow::CornerWave::Kind kind)
{
    switch (kind) {
    case flow::CornerWave::Kind::Fan: return "fan";
    case flow::CornerWave::Kind::Shock: return "shock";
    case flow::CornerWave::Kind::Compression: return "compression";
    }
    return {};
}

std::array<double, kCornerColumns.size()> cornerValues(const flow::CornerFlow& f, std::size_t i)
{
    const flow::CornerWave& w = f.waves[i];
    const flow::Region& behind = f.regions[i + 1];
    const bool shock = w.kind == flow::CornerWave::Kind::Shock;
    const double none = std::nan("");
    return {w.theta,        shock ? w.beta : none, shock ? none : w.firstMachLine, shock ? none : w.lastMachLine,
            f.regions[i].M, behind.M,              behind.direction,               w.p2p1,
            w.T2T1,         w.rho2rho1,            w.p02p01,                       behind.pRatio,
            behind.TRatio,  behind.p0Ratio};
}

std::array<double, kCornerColumns.size()> cornerOverallValues(const flow::CornerFlow& f)
{
    const flow::Region& last = f.regions.back();
    const double none = std::nan("");
    return {last.direction, none, none, none, f.regions.front().M, last.M, last.direction, last.pRatio,
            last.TRatio,    last.rhoRatio, last.p0Ratio, last.pRatio, last.TRatio, last.p0Ratio};
}

std::string_view surfaceName(Surface surface)
{
    return surface == Surface::Upper ? "upper" : "lower";
}

std::array<double, kFacetColumns.size()> facetValues(const Facet& f)
{
    return {f.from.x, f.from.y, f.to.x, f.to.y, f.deflection, f.beta, f.firstMachLine, f.lastMachLine,
            f.M,      f.pRatio, f.Cp,   f.TRatio, f.p0Ratio};
}

std::array<double, kBodyColumns.size()> bodyValues(const BodyFlow& b)
{
    return {b.gamma,          b.M,              b.alpha,          b.exact.cl,        b.exact.cd,
            b.exact.cmLeadingEdge, b.exact.cmQuarterChord, b.exact.liftToDrag, b.exact.centreOfPressure,
            b.linear.cl,      b.linear.cd,      b.linear.cmQuarterChord,
            b.secondOrder.cl, b.secondOrder.cd, b.secondOrder.cmQuarterChord};
}

std::string waveProblemText(const flow::WaveProblem& p, std::string_view machName, int digits)
{
    using Kind = flow::WaveProblem::Kind;
    const auto n = [digits](double v) { return text::roundedNumber(v, digits); };
    const std::string M = std::string(machName) + " = " + n(p.M);
    switch (p.kind) {
    case Kind::Subsonic:
        return M + " is subsonic: " + std::string(machName) + " must be at least 1";
    case Kind::Detached:
        return "theta = " + n(p.value) + " is beyond theta_max = " + n(p.high) + " at " + M +
               ": the shock detaches; theta must be from 0 to " + n(p.high);
    case Kind::BetaOutOfRange:
        return "beta = " + n(p.value) + " has no shock at " + M + ": beta must be from the Mach angle " + n(p.low) +
               " to 90";
    case Kind::NotACompression:
        return "theta = " + n(p.value) + " turns the flow away from itself, which a shock cannot: theta must be from 0 "
               "to " + n(p.high) + " at " + M + " (an expansion is a fan: velhorn-cli solve)";
    case Kind::Vacuum:
        return "a turn of " + n(p.value) + " expands the flow at " + M +
               " to vacuum (nu_max): the turn must be below " + n(p.high);
    case Kind::BelowSonic:
        return "an isentropic compression of " + n(-p.value) + " at " + M + " passes M = 1: it must be at most " +
               n(-p.low);
    case Kind::NotFinite:
        return "a value is not a finite number (" + M + ")";
    case Kind::BeyondDoubleRange:
        return "the results lie beyond the range of double-precision numbers";
    }
    return {};
}

std::string cornerProblemText(const flow::CornerProblem& p, int digits)
{
    if (p.corner == 0)
        return waveProblemText(p.problem, "M1", digits);
    return "corner " + std::to_string(p.corner) + ": " + waveProblemText(p.problem, "M", digits);
}

std::string bodyProblemText(const BodyProblem& p, int digits)
{
    const auto n = [digits](double v) { return text::roundedNumber(v, digits); };
    const std::string at = "at M_inf = " + n(p.M) + " and alpha = " + n(p.alpha);
    if (p.index == 0) {
        if (p.problem.kind == flow::WaveProblem::Kind::NotFinite)
            return "alpha = " + n(p.alpha) + " has no solution: alpha must be above -90 and below 90";
        return waveProblemText(p.problem, "M_inf", digits);
    }
    std::string text = at + ", the " + std::string(surfaceName(p.surface)) + " surface's facet " + std::to_string(p.index) +
                       ": " + waveProblemText(p.problem, "M", digits);
    if (p.alphaLow && p.alphaHigh)
        text += "; at M_inf = " + n(p.M) + " alpha must be from " + n(*p.alphaLow) + " to " + n(*p.alphaHigh);
    else
        text += "; no alpha works at M_inf = " + n(p.M);
    if (p.leastMach)
        text += "; at alpha = " + n(p.alpha) + " M_inf must be at least " + n(*p.leastMach);
    return text;
}

}  // namespace velhorn::bodies
