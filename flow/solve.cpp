#include "flow/solve.h"

#include "flow/fan_lanes.h"
#include "flow/in_blocks.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velhorn::flow {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Names of each state's quantities, indexed by state (1 or 2) then by By.
constexpr std::string_view kNames[2][3] = {{"M1", "nu1", "mu1"}, {"M2", "nu2", "mu2"}};

std::string_view nameOf(int state, By by)
{
    return kNames[state - 1][static_cast<int>(by)];
}

Problem outOfRange(std::string_view quantity, double value, double low, double high, bool highOpen)
{
    return Problem{Problem::Kind::OutOfRange, quantity, value, low, high, highOpen, {}, {}, 0};
}

// The Mach number of a given state, or why there is none.
std::variant<double, Problem> machOf(const Gas& gas, int state, Given given)
{
    const std::string_view name = nameOf(state, given.by);
    switch (given.by) {
    case By::Mach:
        if (!(given.value >= 1) || std::isinf(given.value))
            return outOfRange(name, given.value, 1, kInfinity, true);
        return given.value;
    case By::Nu:
        if (const auto M = machFromNu(gas, given.value))
            return *M;
        return outOfRange(name, given.value, 0, nuMaxDegrees(gas), true);
    case By::Mu:
        if (const auto M = machFromMu(given.value))
            return *M;
        if (given.value > 0 && given.value <= 90) {
            Problem p = outOfRange(name, given.value, lowestMuDegrees(), 90, false);
            p.kind = Problem::Kind::MachOverflows;
            p.solvedFor = nameOf(state, By::Mach);
            return p;
        }
        return outOfRange(name, given.value, 0, 90, false);
    }
    return given.value;
}

bool finite(const State& s)
{
    return std::isfinite(s.M) && std::isfinite(s.nu) && std::isfinite(s.mu) && std::isfinite(s.pOverP0) &&
           std::isfinite(s.TOverT0) && std::isfinite(s.rhoOverRho0);
}

bool finite(const Fan& f)
{
    return finite(f.upstream) && finite(f.downstream) && std::isfinite(f.theta) && std::isfinite(f.p2p1) &&
           std::isfinite(f.T2T1) && std::isfinite(f.rho2rho1) && std::isfinite(f.rearwardMachLine);
}

Problem beyondDoubleRange()
{
    return Problem{Problem::Kind::BeyondDoubleRange, {}, 0, 0, 0, false, {}, {}, 0};
}

// The turn from a state whose nu is `knownNu` that leaves nu outside [0, nuMax).
Problem turnOutOfRange(const Gas& gas, double knownNu, int knownState, std::string_view knownName, double knownValue,
                       double theta)
{
    const double sign = knownState == 1 ? 1 : -1;
    const double a = sign * (0 - knownNu);
    const double b = sign * (nuMaxDegrees(gas) - knownNu);
    Problem p = outOfRange("theta", theta, std::fmin(a, b), std::fmax(a, b), true);
    p.solvedFor = knownState == 1 ? "M2" : "M1";
    p.givenName = knownName;
    p.givenValue = knownValue;
    return p;
}

// The state `theta` degrees beyond (sign +1) or before (sign -1) a known state.
std::variant<State, Problem> stateTurnedBy(const Gas& gas, const State& known, int knownState,
                                           std::string_view knownName, double knownValue, double theta)
{
    if (theta == 0)
        return known;  // the same state exactly, where the inverse could land a bit beside it
    const double sign = knownState == 1 ? 1 : -1;
    const auto state = std::isfinite(theta) ? stateFromNu(gas, known.nu + sign * theta) : std::nullopt;
    if (!state)
        return turnOutOfRange(gas, known.nu, knownState, knownName, knownValue, theta);
    return *state;
}

// The fan from a known upstream state and theta, with the upstream state's own name for refusals.
std::variant<Fan, Problem> fanFrom(const Gas& gas, const State& upstream, std::string_view name, double value,
                                   double theta)
{
    if (!std::isfinite(theta))
        return outOfRange("theta", theta, -nuMaxDegrees(gas), nuMaxDegrees(gas), true);
    auto downstream = stateTurnedBy(gas, upstream, 1, name, value, theta);
    if (const auto* p = std::get_if<Problem>(&downstream))
        return *p;
    Fan fan = fanBetween(gas, upstream, std::get<State>(downstream));
    // The angle given, not nu2 - nu1 again, which may differ from it in the last bit.
    fan.theta = theta;
    fan.rearwardMachLine = fan.downstream.mu - theta;
    if (!finite(fan))
        return beyondDoubleRange();
    return fan;
}

}  // namespace

std::variant<Turn, Problem> solveTurn(const Gas& gas, const Angles& upstream, double theta)
{
    if (!std::isfinite(theta))
        return outOfRange("theta", theta, -nuMaxDegrees(gas), nuMaxDegrees(gas), true);
    std::optional<Angles> downstream = upstream;  // no turn: the same state exactly, as in stateTurnedBy
    if (theta != 0)
        downstream = anglesFromNu(gas, upstream.nu + theta);
    if (!downstream)
        return turnOutOfRange(gas, upstream.nu, 1, nameOf(1, By::Mach), upstream.M, theta);
    const Turn turn{*downstream, ratiosAcross(gas, upstream.M, downstream->M)};
    const Across& a = turn.across;
    if (!std::isfinite(downstream->M) || !std::isfinite(downstream->nu) || !std::isfinite(downstream->mu - theta) ||
        !std::isfinite(a.p2p1) || !std::isfinite(a.T2T1) || !std::isfinite(a.rho2rho1))
        return beyondDoubleRange();
    return turn;
}

std::variant<Fan, Problem> solveFan(const Gas& gas, std::optional<Given> upstream, std::optional<Given> downstream,
                                    std::optional<double> theta)
{
    std::optional<State> states[2];
    for (int state : {1, 2}) {
        const auto& given = state == 1 ? upstream : downstream;
        if (!given)
            continue;
        const auto M = machOf(gas, state, *given);
        if (const auto* p = std::get_if<Problem>(&M))
            return *p;
        states[state - 1] = stateAt(gas, std::get<double>(M));
    }
    if (states[0] && !states[1])
        return fanFrom(gas, *states[0], nameOf(1, upstream->by), upstream->value, theta.value_or(0));
    if (theta && !std::isfinite(*theta))
        return outOfRange("theta", *theta, -nuMaxDegrees(gas), nuMaxDegrees(gas), true);
    if (states[1] && !states[0]) {
        auto s = stateTurnedBy(gas, *states[1], 2, nameOf(2, downstream->by), downstream->value, theta.value_or(0));
        if (const auto* p = std::get_if<Problem>(&s))
            return *p;
        states[0] = std::get<State>(s);
    }
    Fan fan = fanBetween(gas, *states[0], *states[1]);
    if (theta && !(upstream && downstream)) {
        // The angle given, not nu2 - nu1 again, which may differ from it in the last bit.
        fan.theta = *theta;
        fan.rearwardMachLine = fan.downstream.mu - *theta;
    }
    if (!finite(fan))
        return beyondDoubleRange();
    return fan;
}

bool manyAtOnceInLanes()
{
    // The kernel is built for AVX2 and FMA, and run only where the processor has them.
#ifdef VELHORN_LANES
    static const bool here = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return here;
#else
    return false;
#endif
}

void solveFans(const Gas& gas, std::span<const double> M1, std::span<const double> theta,
               std::span<std::variant<Fan, Problem>> out)
{
    inBlocks<Fan>(
        out, gas.isAir() && manyAtOnceInLanes(),
        [&](std::size_t first, std::size_t count, Fan* fans, bool* solved) {
            fansInLanes(gas, M1.data() + first, theta.data() + first, count, fans, solved);
        },
        [&](std::size_t i) { return solveFan(gas, Given{By::Mach, M1[i]}, std::nullopt, theta[i]); });
}

void machsFromNu(const Gas& gas, std::span<const double> nu, std::span<std::optional<double>> out)
{
    inBlocks<double>(
        out, gas.isAir() && manyAtOnceInLanes(),
        [&](std::size_t first, std::size_t count, double* M, bool* solved) {
            machsInLanes(gas, nu.data() + first, count, M, solved);
        },
        [&](std::size_t i) { return machFromNu(gas, nu[i]); });
}

void tableStates(const Gas& gas, By by, std::span<const double> values, std::span<std::variant<State, Problem>> out)
{
    inBlocks<State>(
        out, by == By::Mach && gas.isAir() && manyAtOnceInLanes(),
        [&](std::size_t first, std::size_t count, State* states, bool* solved) {
            statesInLanes(gas, values.data() + first, count, states, solved);
        },
        [&](std::size_t i) { return tableState(gas, Given{by, values[i]}); });
}

std::variant<std::vector<Fan>, Problem> solveChain(const Gas& gas, Given upstream, std::span<const double> thetas)
{
    std::vector<Fan> fans;
    std::optional<Given> from = upstream;
    for (double theta : thetas) {
        auto fan = solveFan(gas, from, std::nullopt, theta);
        if (auto* p = std::get_if<Problem>(&fan))
            return *p;
        fans.push_back(std::get<Fan>(fan));
        from = Given{By::Mach, fans.back().downstream.M};
    }
    if (!fans.empty()) {
        Fan overall = fanBetween(gas, fans.front().upstream, fans.back().downstream);
        overall.theta = 0;
        for (double theta : thetas)
            overall.theta += theta;
        overall.rearwardMachLine = overall.downstream.mu - overall.theta;
        fans.push_back(overall);
    }
    return fans;
}

std::variant<State, Problem> tableState(const Gas& gas, Given given)
{
    const auto M = machOf(gas, 1, given);
    if (const auto* p = std::get_if<Problem>(&M)) {
        Problem named = *p;
        named.quantity = given.by == By::Nu ? "nu" : "M";
        return named;
    }
    const State state = stateAt(gas, std::get<double>(M));
    if (!finite(state))
        return beyondDoubleRange();
    return state;
}

}  // namespace velhorn::flow
