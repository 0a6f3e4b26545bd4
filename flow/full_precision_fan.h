#pragma once

#include "flow/gas.h"

#include <optional>

// Every quantity of a Prandtl-Meyer fan, computed to the last bit a double holds. The window
// keeps its own formulas and inverse (expansion_fan.h); this is what programs and tables use.
namespace velhorn::flow {

// One uniform state of the flow. Angles are in degrees.
struct State {
    double M = 1;
    double nu = 0;            // Prandtl-Meyer angle
    double mu = 90;           // Mach angle
    double pOverP0 = 0;       // static to total pressure
    double TOverT0 = 0;       // static to total temperature
    double rhoOverRho0 = 0;   // static to total density
};

// What a row of corners carries from one fan to the next: M, and nu and mu of that M.
struct Angles {
    double M = 1;
    double nu = 0;
    double mu = 90;
};

// The ratios across a fan, or any isentropic change, from one Mach number to another.
struct Across {
    double T2T1 = 1;
    double p2p1 = 1;
    double rho2rho1 = 1;
};

// Two states joined by a fan. Angles in degrees; Mach lines are measured from the upstream flow.
struct Fan {
    double gamma = 0;
    State upstream;
    State downstream;
    double theta = 0;            // turning angle, nu2 - nu1
    double p2p1 = 0;
    double T2T1 = 0;
    double rho2rho1 = 0;
    double forwardMachLine = 0;  // mu1: where the fan begins
    double rearwardMachLine = 0; // mu2 - theta: where it ends
    double maxTurn = 0;          // nuMax - nu1, the largest turn still possible from state 1
    double nuMax = 0;            // nu as M grows without bound
};

// Prandtl-Meyer angle in degrees, accurate to about an ulp. Needs M >= 1.
[[nodiscard]] double nuDegrees(const Gas& gas, double M);
// Its supremum, (lambda - 1) * 90 degrees.
[[nodiscard]] double nuMaxDegrees(const Gas& gas);

// The Mach number whose nu is `nu` degrees, to full precision; nothing for 0 > nu >= nuMax.
[[nodiscard]] std::optional<double> machFromNu(const Gas& gas, double nu);
// The Mach number whose Mach angle is `mu` degrees; nothing outside 0 < mu <= 90, nor below
// lowestMuDegrees(), where that Mach number exceeds the largest double.
[[nodiscard]] std::optional<double> machFromMu(double mu);
[[nodiscard]] double lowestMuDegrees();

[[nodiscard]] State stateAt(const Gas& gas, double M);
// The same where nu is already known, as when M was found from it.
[[nodiscard]] State stateAt(const Gas& gas, double M, double nu);
// The state whose nu is `nu` degrees, its mu taken from the inverse's own last step where it can
// be; nothing where machFromNu has no M.
[[nodiscard]] std::optional<State> stateFromNu(const Gas& gas, double nu);
[[nodiscard]] Fan fanBetween(const Gas& gas, const State& upstream, const State& downstream);
[[nodiscard]] Across ratiosAcross(const Gas& gas, double upstreamM, double downstreamM);

// The angles of the state whose nu is `nu` degrees, without its ratios to the totals: its M, mu,
// and nu of that M itself, the double nearest nu(M), which may differ from `nu` in its last bits;
// both from the inverse's own last step where it decides. Nothing where machFromNu has no M.
[[nodiscard]] std::optional<Angles> anglesFromNu(const Gas& gas, double nu);

}  // namespace velhorn::flow
