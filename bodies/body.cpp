#include "bodies/body.h"

#include "flow/angles.h"

#include <array>
#include <cmath>
#include <limits>

namespace velhorn::bodies {

using flow::sinCosDegrees;

namespace {

const double kDegreesPerRadian = 45 / std::atan(1.0);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Force {
    double x = 0;  // along the chord
    double y = 0;
    double moment = 0;  // about the nose, nose-up positive
};

// Adds the force of pressure coefficient Cp on a facet, per unit span over the chord.
void addFacet(Force& force, Surface surface, Point a, Point b, double Cp)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    // Outward normal times length: left of the way aft on the upper surface, right on the lower.
    const double nx = surface == Surface::Upper ? -dy : dy;
    const double ny = surface == Surface::Upper ? dx : -dx;
    const double fx = -Cp * nx, fy = -Cp * ny;
    const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    force.x += fx;
    force.y += fy;
    force.moment -= mx * fy - my * fx;
}

Coefficients coefficients(const Force& f, double alpha)
{
    const auto [s, c] = sinCosDegrees(alpha);
    Coefficients k;
    k.cl = f.y * c - f.x * s;
    k.cd = f.y * s + f.x * c;
    k.cmLeadingEdge = f.moment;
    k.cmQuarterChord = f.moment + 0.25 * f.y;
    k.liftToDrag = k.cd != 0 ? k.cl / k.cd : kNaN;
    k.centreOfPressure = f.y != 0 ? -f.moment / f.y : kNaN;
    return k;
}

// The body at one M and alpha, or its problem without the search for what works.
std::variant<BodyFlow, BodyProblem> solveAt(const flow::Gas& gas, const Shape& shape, double M, double alpha)
{
    BodyProblem problem;
    problem.M = M;
    problem.alpha = alpha;
    if (!std::isfinite(alpha) || !(alpha > -90 && alpha < 90)) {
        problem.problem = flow::WaveProblem{flow::WaveProblem::Kind::NotFinite, M, alpha, -90, 90};
        return problem;
    }
    BodyFlow body;
    body.gamma = gas.gamma();
    body.M = M;
    body.alpha = alpha;
    const double g = gas.gamma();
    const double dynamic = g * M * M / 2;  // q / p_inf
    const double beta = std::sqrt((M - 1) * (M + 1));
    const double c1 = 2 / beta;
    const double c2 = ((g + 1) * M * M * M * M - 4 * beta * beta) / (2 * beta * beta * beta * beta);
    // Each surface's forces apart, then added: a body that is its own mirror image at no incidence
    // has no lift and no moment about the chord exactly, whatever the order of its facets' sums.
    std::array<Force, 2> exactOf, linearOf, secondOf;
    std::vector<double> turns, directions;
    for (Surface surface : {Surface::Upper, Surface::Lower}) {
        Force& exact = exactOf[surface == Surface::Upper ? 0 : 1];
        Force& linear = linearOf[surface == Surface::Upper ? 0 : 1];
        Force& second = secondOf[surface == Surface::Upper ? 0 : 1];
        const auto& points = surface == Surface::Upper ? shape.upper : shape.lower;
        const auto& facetDirections = surface == Surface::Upper ? shape.upperDirections : shape.lowerDirections;
        const double sign = surface == Surface::Upper ? 1 : -1;
        turns.clear();
        directions.clear();
        double ahead = alpha;
        for (std::size_t i = 1; i < points.size(); ++i) {
            const double phi = facetDirections[i - 1];
            turns.push_back(sign * (ahead - phi));
            directions.push_back(phi);
            ahead = phi;
        }
        const auto corners = flow::solveCorners(gas, M, turns);
        if (const auto* p = std::get_if<flow::CornerProblem>(&corners)) {
            problem.problem = p->problem;
            problem.surface = surface;
            problem.index = p->corner;
            return problem;
        }
        const auto& flow = std::get<flow::CornerFlow>(corners);
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const flow::CornerWave& wave = flow.waves[i];
            const flow::Region& region = flow.regions[i + 1];
            Facet f;
            f.surface = surface;
            f.index = i + 1;
            f.from = points[i];
            f.to = points[i + 1];
            f.deflection = -wave.theta;
            f.wave = wave.kind;
            f.beta = wave.kind == flow::CornerWave::Kind::Shock ? wave.beta : kNaN;
            f.firstMachLine = wave.kind == flow::CornerWave::Kind::Shock ? kNaN : wave.firstMachLine;
            f.lastMachLine = wave.kind == flow::CornerWave::Kind::Shock ? kNaN : wave.lastMachLine;
            f.M = region.M;
            f.pRatio = region.pRatio;
            f.Cp = (region.pRatio - 1) / dynamic;
            f.TRatio = region.TRatio;
            f.p0Ratio = region.p0Ratio;
            f.direction = directions[i];
            addFacet(exact, surface, f.from, f.to, f.Cp);
            // The small-disturbance theories take each facet's inclination to the free stream.
            const double delta = sign * (f.direction - alpha) / kDegreesPerRadian;
            addFacet(linear, surface, f.from, f.to, c1 * delta);
            addFacet(second, surface, f.from, f.to, c1 * delta + c2 * delta * delta);
            body.facets.push_back(f);
        }
    }
    const auto both = [](const std::array<Force, 2>& f) {
        return Force{f[0].x + f[1].x, f[0].y + f[1].y, f[0].moment + f[1].moment};
    };
    body.exact = coefficients(both(exactOf), alpha);
    body.linear = coefficients(both(linearOf), alpha);
    body.secondOrder = coefficients(both(secondOf), alpha);
    return body;
}

bool works(const flow::Gas& gas, const Shape& shape, double M, double alpha)
{
    return std::holds_alternative<BodyFlow>(solveAt(gas, shape, M, alpha));
}

// The last value that works between `good` (works) and `bad` (does not), to the last bits.
template <typename Works>
double boundary(double good, double bad, Works ok)
{
    for (int pass = 0; pass < 100; ++pass) {
        const double middle = good + (bad - good) / 2;
        if (middle == good || middle == bad)
            break;
        (ok(middle) ? good : bad) = middle;
    }
    return good;
}

}  // namespace

std::variant<BodyFlow, BodyProblem> solveBody(const flow::Gas& gas, const Shape& shape, double M, double alpha)
{
    auto solved = solveAt(gas, shape, M, alpha);
    auto* problem = std::get_if<BodyProblem>(&solved);
    if (!problem || problem->index == 0 || !std::isfinite(alpha))
        return solved;  // solved, or the free stream itself is wrong: nothing to search
    const auto atM = [&](double a) { return works(gas, shape, M, a); };
    // An incidence that works, the nearest to alpha on a one-degree grid.
    std::optional<double> good;
    for (int k = 0; k < 180 && !good; ++k) {
        for (double a : {std::round(alpha) - k, std::round(alpha) + k}) {
            if (!good && a > -90 && a < 90 && atM(a))
                good = a;
        }
    }
    if (good) {
        problem->alphaLow = boundary(*good, std::nextafter(-90.0, 0.0), atM);
        problem->alphaHigh = boundary(*good, std::nextafter(90.0, 0.0), atM);
    }
    const auto atAlpha = [&](double m) { return works(gas, shape, m, alpha); };
    // A faster stream attaches its shocks but expands further toward vacuum, so the first M that
    // works is looked for upward, then pinned down.
    for (double below = M, m = M * 1.25; M < kMostMach && below < kMostMach; below = m, m = std::fmin(m * 1.25, kMostMach)) {
        if (atAlpha(m)) {
            problem->leastMach = boundary(m, below, atAlpha);
            break;
        }
    }
    return solved;
}

double Sweep::at(long long i) const
{
    return std::fmin(from + static_cast<double>(i) * step, to);
}

std::optional<Sweep> sweep(double from, double to, double step)
{
    constexpr double kMostValues = 1e6;
    if (!(step > 0) || !(to >= from) || !((to - from) / step < kMostValues))
        return std::nullopt;
    // A last value that lands a hair past TO is TO itself.
    const auto count = static_cast<long long>(std::floor((to - from) / step * (1 + 1e-12))) + 1;
    return Sweep{from, to, step, count};
}

}  // namespace velhorn::bodies
