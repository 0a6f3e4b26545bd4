#pragma once

#include "flow/gas.h"
#include "flow/oblique_shock.h"

#include <cstddef>
#include <span>
#include <variant>
#include <vector>

// Sharp corners one after another along a wall: each convex corner a Prandtl-Meyer fan, each
// concave one an oblique shock (or, where asked, an isentropic compression fan). A turn is
// positive where the wall falls away from the flow, as in solve.h.
namespace velhorn::flow {

enum class Compression { Shock, Isentropic };

// A uniform region between two waves. Ratios are to the first region's.
struct Region {
    double M = 1;
    double direction = 0;  // flow direction from the first region's, degrees, positive as the turns
    double pRatio = 1;
    double TRatio = 1;
    double rhoRatio = 1;
    double p0Ratio = 1;    // total pressure kept so far
};

struct CornerWave {
    enum class Kind { Fan, Shock, Compression };
    Kind kind = Kind::Fan;
    double theta = 0;         // the turn, positive convex
    double beta = 0;          // a shock's angle from its upstream flow
    double firstMachLine = 0; // a fan's bounding Mach lines, from its upstream flow, as in Fan
    double lastMachLine = 0;
    double p2p1 = 1;
    double T2T1 = 1;
    double rho2rho1 = 1;
    double p02p01 = 1;
};

struct CornerFlow {
    std::vector<Region> regions;  // one more than the waves
    std::vector<CornerWave> waves;
};

// Why a row of corners has no solution: the problem of the wave at `corner` (from 1), or of the
// upstream state when `corner` is 0.
struct CornerProblem {
    WaveProblem problem;
    std::size_t corner = 0;
};

[[nodiscard]] std::variant<CornerFlow, CornerProblem> solveCorners(const Gas& gas, double M1,
                                                                   std::span<const double> turns,
                                                                   Compression compression = Compression::Shock);

}  // namespace velhorn::flow
