#pragma once

#include "bodies/shapes.h"
#include "flow/corners.h"
#include "flow/gas.h"
#include "flow/oblique_shock.h"

#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

// A body in a supersonic stream by shock-expansion theory: each facet's flow from the corners
// before it (a shock where the surface turns into the flow, a Prandtl-Meyer fan where it turns
// away), the forces from the facets' pressures, and the linear (Ackeret) and second-order
// (Busemann) estimates beside them. Angles in degrees; alpha is the chord's incidence, nose up
// positive. A base (a wedge's back) is taken at the free-stream pressure.
namespace velhorn::bodies {

enum class Surface { Upper, Lower };

struct Facet {
    Surface surface = Surface::Upper;
    std::size_t index = 0;  // from 1 at the nose
    Point from, to;
    double deflection = 0;  // the turn into the flow at its leading corner; negative turns away
    flow::CornerWave::Kind wave = flow::CornerWave::Kind::Shock;
    double beta = 0;          // a shock's angle from the flow ahead of it
    double firstMachLine = 0; // a fan's bounding Mach lines from the flow ahead of it
    double lastMachLine = 0;
    double M = 1;
    double pRatio = 1;        // p / p_inf
    double Cp = 0;
    double TRatio = 1;        // T / T_inf
    double p0Ratio = 1;       // p0 / p0_inf
    double direction = 0;     // the flow's direction along it, from the chord
};

// Lift, wave drag and pitching moment per unit span over the chord; moments nose-up positive.
struct Coefficients {
    double cl = 0;
    double cd = 0;
    double cmLeadingEdge = 0;
    double cmQuarterChord = 0;
    double liftToDrag = 0;     // NaN where cd is 0
    double centreOfPressure = 0;  // chords from the nose along the chord; NaN without a normal force
};

struct BodyFlow {
    double gamma = 0;
    double M = 1;
    double alpha = 0;
    std::vector<Facet> facets;  // the upper surface's, then the lower's
    Coefficients exact;
    Coefficients linear;        // Ackeret: Cp = 2 delta / sqrt(M^2 - 1)
    Coefficients secondOrder;   // Busemann: Cp = C1 delta + C2 delta^2
};

// Why a body has no solution at this M and alpha: the wave at facet `index` of `surface` cannot
// form, for `problem`; the incidences that work at this M and the least M that works at this
// alpha, where there are any.
struct BodyProblem {
    flow::WaveProblem problem;
    Surface surface = Surface::Upper;
    std::size_t index = 0;  // 0: the free stream itself
    double M = 1;
    double alpha = 0;
    std::optional<double> alphaLow;   // the range of alpha that works at this M
    std::optional<double> alphaHigh;
    std::optional<double> leastMach;  // the least M that works at this alpha (up to kMostMach)
};

inline constexpr double kMostMach = 1e4;

[[nodiscard]] std::variant<BodyFlow, BodyProblem> solveBody(const flow::Gas& gas, const Shape& shape, double M,
                                                            double alpha);

// Values of a sweep from `from` to `to` in steps of `step`, placed by multiplication so no step's
// rounding carries into the next; nothing unless from <= to, step > 0 and at most a million values.
struct Sweep {
    double from = 0;
    double to = 0;
    double step = 1;
    long long count = 0;
    [[nodiscard]] double at(long long i) const;
};
[[nodiscard]] std::optional<Sweep> sweep(double from, double to, double step);

}  // namespace velhorn::bodies
