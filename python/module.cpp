// velhorn._core: the flow core on flat NumPy arrays. The Python package around it broadcasts the
// arguments and names the results; every number comes from flow/, every name and reason from
// press/records.h, so the module and velhorn-cli agree to the bit.
#include "bodies/body.h"
#include "bodies/records.h"
#include "bodies/shapes.h"
#include "flow/corners.h"
#include "flow/full_precision_fan.h"
#include "flow/gas.h"
#include "flow/oblique_shock.h"
#include "flow/solve.h"
#include "press/records.h"
#include "press/table_range.h"
#include "text/html_table.h"
#include "text/number_text.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <sched.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <atomic>
#include <thread>
#include <vector>

namespace py = pybind11;
using namespace velhorn;

namespace {

constexpr int kDigits = 6;  // as velhorn-cli's messages by default
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Cases handed to the core at once, which it may work several at a time.
constexpr std::size_t kBlock = 256;
// Below this many cases a thread costs more to start than it saves.
constexpr std::size_t kCasesPerThread = 16384;

using Input = py::array_t<double, py::array::c_style | py::array::forcecast>;

// An argument already broadcast by the package: one value for every case, or one a case.
struct Column {
    const double* data = nullptr;
    bool single = true;
    double operator[](std::size_t i) const { return data[single ? 0 : i]; }
};

Column column(const Input& a, std::size_t n)
{
    if (a.ndim() != 1 || (a.size() != 1 && static_cast<std::size_t>(a.size()) != n))
        throw std::invalid_argument("an argument has neither one value nor one a case");
    return Column{a.data(), a.size() == 1};
}

// The gas of each case, built again only when gamma changes from the case before.
class Gases {
public:
    // Nothing, and the reason in `why`, for a gamma that is no gas.
    const flow::Gas* at(double gamma, std::string& why)
    {
        if (gas_ && gas_->gamma() == gamma)
            return &*gas_;
        try {
            gas_.emplace(gamma);
        } catch (const std::invalid_argument& e) {
            gas_.reset();
            why = "gamma = " + text::roundedNumber(gamma, kDigits) + ": " + e.what();
            return nullptr;
        }
        return &*gas_;
    }

private:
    std::optional<flow::Gas> gas_;
};

unsigned usableCores()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return static_cast<unsigned>(std::max(1, CPU_COUNT(&set)));
    return std::max(1u, std::thread::hardware_concurrency());
}

// The first case without a solution: its flat index and the reason, or index -1 when all have one.
struct Failure {
    long long index = -1;
    std::string why;
};

// Runs `solveChunk(start, end, gases, why)` for every chunk of cases, over the cores without the
// GIL, each thread taking the next chunk as it is free, so a core that another program holds
// back slows only its own share. It returns the first case of the chunk without a solution, or
// -1; the outputs of such cases are NaN, and `why` says why for that first one. When
// `stopAtFirst`, no chunk is begun after a case without one; every chunk before it has been
// begun, so the earliest of all is reported.
template <typename SolveChunk>
Failure forEachChunk(std::size_t n, bool stopAtFirst, SolveChunk solveChunk)
{
    constexpr std::size_t kChunk = 4096;
    const unsigned threads =
        static_cast<unsigned>(std::clamp<std::size_t>(n / kCasesPerThread, 1, usableCores()));
    std::vector<Failure> failures(threads);
    std::atomic<std::size_t> nextChunk{0};
    std::atomic<bool> stopped{false};
    const auto work = [&](unsigned t) {
        Gases gases;
        std::string why;
        while (!stopped.load(std::memory_order_relaxed)) {
            const std::size_t start = nextChunk.fetch_add(kChunk, std::memory_order_relaxed);
            if (start >= n)
                return;
            const long long failed = solveChunk(start, std::min(n, start + kChunk), gases, why);
            if (failed < 0)
                continue;
            if (failures[t].index < 0)
                failures[t] = Failure{failed, why};
            if (stopAtFirst) {
                stopped = true;
                return;
            }
        }
    };
    {
        py::gil_scoped_release released;
        std::vector<std::thread> pool;
        for (unsigned t = 1; t < threads; ++t)
            pool.emplace_back(work, t);
        work(0);
        for (auto& thread : pool)
            thread.join();
    }
    Failure earliest;
    for (const auto& failure : failures)
        if (failure.index >= 0 && (earliest.index < 0 || failure.index < earliest.index))
            earliest = failure;
    return earliest;
}

// The same a case at a time: `solveCase(i, gases, why)` returns false for a case without a
// solution. Within a chunk, the cases after the first of those are still solved unless
// `stopAtFirst`.
template <typename SolveCase>
Failure forEachCase(std::size_t n, bool stopAtFirst, SolveCase solveCase)
{
    return forEachChunk(n, stopAtFirst, [&](std::size_t start, std::size_t end, Gases& gases, std::string& why) {
        long long failed = -1;
        std::string first;
        for (std::size_t i = start; i < end; ++i) {
            if (solveCase(i, gases, why))
                continue;
            if (failed < 0) {
                failed = static_cast<long long>(i);
                first = why;
            }
            if (stopAtFirst)
                break;
        }
        why = first;
        return failed;
    });
}

// forEachChunk in one gas, a block of cases at a time, which the core may work several at once:
// solveBlock(gas, first, count, why) solves the cases first .. first + count - 1, writes NaN for
// those without a solution and returns the first of them, or -1, with `why` said of it. A gas
// that cannot be made leaves its `width` outputs a case NaN.
template <typename SolveBlock>
Failure forEachBlock(std::size_t n, bool stopAtFirst, double gamma, std::size_t width, double* out,
                     SolveBlock solveBlock)
{
    return forEachChunk(n, stopAtFirst, [&](std::size_t start, std::size_t end, Gases& gases, std::string& why) {
        const flow::Gas* gas = gases.at(gamma, why);
        if (!gas) {
            std::fill(out + start * width, out + end * width, kNaN);
            return static_cast<long long>(start);
        }
        long long failed = -1;
        std::string first;
        for (std::size_t block = start; block < end && !(stopAtFirst && failed >= 0); block += kBlock) {
            const long long blockFailed = solveBlock(*gas, block, std::min(kBlock, end - block), why);
            if (blockFailed >= 0 && failed < 0) {
                failed = blockFailed;
                first = why;
            }
        }
        why = first;
        return failed;
    });
}

flow::By byOf(const std::string& name)
{
    if (name == "M")
        return flow::By::Mach;
    if (name == "nu")
        return flow::By::Nu;
    if (name == "mu")
        return flow::By::Mu;
    throw std::invalid_argument("a state is given by M, nu or mu, not " + name);
}

// A problem of the gas table, named after what the caller gave.
std::string tableProblem(const flow::Gas& gas, flow::By by, double value)
{
    const auto state = flow::tableState(gas, flow::Given{by, value});
    const auto* problem = std::get_if<flow::Problem>(&state);
    if (!problem)
        return {};
    flow::Problem named = *problem;
    if (by == flow::By::Mu)
        named.quantity = "mu";
    return press::problemText(named, kDigits);
}

// A quantity of one state, from M, nu or mu, as a table row of velhorn-cli has it.
py::tuple stateQuantity(const std::string& given, const std::string& wanted, const Input& x, const Input& gamma,
                        std::size_t n, bool stopAtFirst)
{
    const flow::By by = byOf(given);
    const auto& names = press::kStateColumns;
    const auto found = std::find(names.begin(), names.end(), wanted);
    if (found == names.end())
        throw std::invalid_argument("no state quantity is named " + wanted);
    const auto field = static_cast<std::size_t>(found - names.begin());
    const Column xs = column(x, n), gammas = column(gamma, n);
    py::array_t<double> out(static_cast<py::ssize_t>(n));
    double* o = out.mutable_data();
    if (gammas.single && (by == flow::By::Mach || (by == flow::By::Nu && field == 0))) {
        // The states by M, or the inverse alone where only M is wanted from nu, a block at a time.
        const Failure failure = forEachBlock(
            n, stopAtFirst, gammas[0], 1, o,
            [&](const flow::Gas& gas, std::size_t first, std::size_t count, std::string& why) {
                double values[kBlock];
                std::variant<flow::State, flow::Problem> states[kBlock];
                std::optional<double> machs[kBlock];
                for (std::size_t i = 0; i < count; ++i)
                    values[i] = xs[first + i];
                if (by == flow::By::Nu)
                    flow::machsFromNu(gas, {values, count}, {machs, count});
                else
                    flow::tableStates(gas, by, {values, count}, {states, count});
                long long failed = -1;
                for (std::size_t i = 0; i < count; ++i) {
                    const auto* state = std::get_if<flow::State>(&states[i]);
                    const bool solved = by == flow::By::Nu ? machs[i].has_value() : state != nullptr;
                    if (solved) {
                        o[first + i] = by == flow::By::Nu ? *machs[i] : press::stateValues(*state)[field];
                        continue;
                    }
                    o[first + i] = kNaN;
                    if (failed < 0) {
                        failed = static_cast<long long>(first + i);
                        why = tableProblem(gas, by, values[i]);
                    }
                }
                return failed;
            });
        return py::make_tuple(out, failure.index, failure.why);
    }
    const Failure failure = forEachCase(n, stopAtFirst, [&](std::size_t i, Gases& gases, std::string& why) {
        o[i] = kNaN;
        const flow::Gas* gas = gases.at(gammas[i], why);
        if (!gas)
            return false;
        // The inverses alone where only M is wanted: the same calls tableState makes first.
        std::optional<double> M;
        if (field == 0 && by == flow::By::Nu)
            M = flow::machFromNu(*gas, xs[i]);
        else if (field == 0 && by == flow::By::Mu)
            M = flow::machFromMu(xs[i]);
        if (M) {
            o[i] = *M;
            return true;
        }
        // nu alone from M, without the rest of the state: the same call stateAt makes.
        if (field == 1 && by == flow::By::Mach && xs[i] >= 1 && std::isfinite(xs[i])) {
            o[i] = flow::nuDegrees(*gas, xs[i]);
            return true;
        }
        const auto state = flow::tableState(*gas, flow::Given{by, xs[i]});
        if (std::holds_alternative<flow::Problem>(state)) {
            why = tableProblem(*gas, by, xs[i]);
            return false;
        }
        o[i] = press::stateValues(std::get<flow::State>(state))[field];
        return true;
    });
    return py::make_tuple(out, failure.index, failure.why);
}

// Every quantity of a fan from two givens, one row of the command line's columns a case.
py::tuple fan(const std::string& by1, const std::optional<Input>& state1, const std::string& by2,
              const std::optional<Input>& state2, const std::optional<Input>& theta, const Input& gamma,
              std::size_t n, bool stopAtFirst)
{
    constexpr std::size_t kColumns = press::kFanColumns.size();
    const std::optional<flow::By> b1 = state1 ? std::optional(byOf(by1)) : std::nullopt;
    const std::optional<flow::By> b2 = state2 ? std::optional(byOf(by2)) : std::nullopt;
    if (int(state1.has_value()) + int(state2.has_value()) + int(theta.has_value()) != 2)
        throw std::invalid_argument("a fan needs exactly two of state 1, state 2 and theta");
    const Column s1 = state1 ? column(*state1, n) : Column{}, s2 = state2 ? column(*state2, n) : Column{};
    const Column th = theta ? column(*theta, n) : Column{}, gammas = column(gamma, n);
    py::array_t<double> out({static_cast<py::ssize_t>(n), static_cast<py::ssize_t>(kColumns)});
    double* o = out.mutable_data();
    const auto write = [&](std::size_t i, const std::variant<flow::Fan, flow::Problem>& solved, std::string& why) {
        double* row = o + i * kColumns;
        if (const auto* problem = std::get_if<flow::Problem>(&solved)) {
            std::fill(row, row + kColumns, kNaN);
            why = press::problemText(*problem, kDigits);
            return false;
        }
        const auto values = press::fanValues(std::get<flow::Fan>(solved));
        std::memcpy(row, values.data(), sizeof values);
        return true;
    };
    if (b1 == flow::By::Mach && theta && !state2 && gammas.single) {
        // From M1 and theta in one gas, a block at a time, which solveFans may take eight at a time.
        const Failure failure = forEachBlock(
            n, stopAtFirst, gammas[0], kColumns, o,
            [&](const flow::Gas& gas, std::size_t first, std::size_t count, std::string& why) {
                double M1[kBlock], turns[kBlock];
                std::variant<flow::Fan, flow::Problem> solved[kBlock];
                for (std::size_t i = 0; i < count; ++i) {
                    M1[i] = s1[first + i];
                    turns[i] = th[first + i];
                }
                flow::solveFans(gas, {M1, count}, {turns, count}, {solved, count});
                long long failed = -1;
                std::string firstWhy;
                for (std::size_t i = 0; i < count; ++i) {
                    if (!write(first + i, solved[i], why) && failed < 0) {
                        failed = static_cast<long long>(first + i);
                        firstWhy = why;
                    }
                }
                why = firstWhy;
                return failed;
            });
        return py::make_tuple(out, failure.index, failure.why);
    }
    const Failure failure = forEachCase(n, stopAtFirst, [&](std::size_t i, Gases& gases, std::string& why) {
        double* row = o + i * kColumns;
        std::fill(row, row + kColumns, kNaN);
        const flow::Gas* gas = gases.at(gammas[i], why);
        if (!gas)
            return false;
        const auto upstream = b1 ? std::optional(flow::Given{*b1, s1[i]}) : std::nullopt;
        const auto downstream = b2 ? std::optional(flow::Given{*b2, s2[i]}) : std::nullopt;
        const auto turn = theta ? std::optional(th[i]) : std::nullopt;
        return write(i, flow::solveFan(*gas, upstream, downstream, turn), why);
    });
    return py::make_tuple(out, failure.index, failure.why);
}

// Corners turned one after another from state 1: one row a corner, then the whole chain, each
// keyed by the states it joins, as velhorn-cli solve with several thetas writes them.
py::tuple chain(const std::string& by, double value, const std::vector<double>& thetas, double gamma)
{
    const flow::Gas gas(gamma);
    const auto solved = flow::solveChain(gas, flow::Given{byOf(by), value}, thetas);
    if (const auto* problem = std::get_if<flow::Problem>(&solved))
        throw py::value_error(press::problemText(*problem, kDigits));
    const auto& fans = std::get<std::vector<flow::Fan>>(solved);
    constexpr std::size_t kColumns = press::kFanColumns.size();
    py::array_t<double> out({static_cast<py::ssize_t>(fans.size()), static_cast<py::ssize_t>(kColumns)});
    py::array_t<long long> keys({static_cast<py::ssize_t>(fans.size()), py::ssize_t{2}});
    for (std::size_t i = 0; i < fans.size(); ++i) {
        const auto values = press::fanValues(fans[i]);
        std::memcpy(out.mutable_data(static_cast<py::ssize_t>(i)), values.data(), sizeof values);
        const bool overall = i + 1 == fans.size();
        const auto corner = static_cast<long long>(i);
        *keys.mutable_data(static_cast<py::ssize_t>(i), 0) = overall ? 1 : corner + 1;
        *keys.mutable_data(static_cast<py::ssize_t>(i), 1) = overall ? corner + 1 : corner + 2;
    }
    return py::make_tuple(keys, out);
}

// A gas table from `from` to `to` in steps of `step`, by M or by nu, refused as velhorn-cli
// table refuses it: a range it would not write, or a row without a solution, ends first.
py::array_t<double> table(const std::string& by, double from, double to, double step, double gamma)
{
    const flow::Gas gas(gamma);
    const flow::By b = byOf(by);
    const auto range = press::tableRange(from, to, step);
    if (!range)
        throw py::value_error(std::string(press::kTableRangeRule));
    for (double end : {from, to})
        if (const auto why = tableProblem(gas, b, end); !why.empty())
            throw py::value_error(why);
    constexpr std::size_t kColumns = press::kStateColumns.size();
    const auto n = static_cast<std::size_t>(range->count);
    py::array_t<double> out({static_cast<py::ssize_t>(n), static_cast<py::ssize_t>(kColumns)});
    double* o = out.mutable_data();
    const Failure failure = forEachCase(n, true, [&](std::size_t i, Gases&, std::string& why) {
        const double x = range->at(static_cast<long long>(i));
        const auto state = flow::tableState(gas, flow::Given{b, x});
        if (std::holds_alternative<flow::Problem>(state)) {
            why = tableProblem(gas, b, x);
            return false;
        }
        const auto values = press::stateValues(std::get<flow::State>(state));
        std::memcpy(o + i * kColumns, values.data(), sizeof values);
        return true;
    });
    if (failure.index >= 0)
        throw py::value_error(failure.why);
    return out;
}

// An oblique shock a case from M1 and theta (weak, or strong) or M1 and beta, as velhorn-cli shock.
py::tuple shock(const Input& M1, const std::optional<Input>& theta, const std::optional<Input>& beta, bool strong,
                const Input& gamma, std::size_t n, bool stopAtFirst)
{
    constexpr std::size_t kColumns = bodies::kShockColumns.size();
    if (theta.has_value() == beta.has_value())
        throw std::invalid_argument("a shock needs M1 and one of theta and beta");
    const Column Ms = column(M1, n), angles = column(theta ? *theta : *beta, n), gammas = column(gamma, n);
    py::array_t<double> out({static_cast<py::ssize_t>(n), static_cast<py::ssize_t>(kColumns)});
    double* o = out.mutable_data();
    const Failure failure = forEachCase(n, stopAtFirst, [&](std::size_t i, Gases& gases, std::string& why) {
        double* row = o + i * kColumns;
        std::fill(row, row + kColumns, kNaN);
        const flow::Gas* gas = gases.at(gammas[i], why);
        if (!gas)
            return false;
        const auto solved = theta ? flow::shockFromDeflection(*gas, Ms[i], angles[i],
                                                              strong ? flow::Branch::Strong : flow::Branch::Weak)
                                  : flow::shockFromAngle(*gas, Ms[i], angles[i]);
        if (const auto* problem = std::get_if<flow::WaveProblem>(&solved)) {
            why = bodies::waveProblemText(*problem, "M1", kDigits);
            return false;
        }
        const auto values = bodies::shockValues(std::get<flow::Shock>(solved), flow::shockLimits(*gas, Ms[i]));
        std::memcpy(row, values.data(), sizeof values);
        return true;
    });
    return py::make_tuple(out, failure.index, failure.why);
}

// Sharp corners in a row from M1, as velhorn-cli corners: keys, wave names and values, a row a
// wave and, for more than one, the whole row last.
py::tuple corners(double M1, const std::vector<double>& turns, bool isentropic, double gamma)
{
    const flow::Gas gas(gamma);
    const auto solved =
        flow::solveCorners(gas, M1, turns, isentropic ? flow::Compression::Isentropic : flow::Compression::Shock);
    if (const auto* problem = std::get_if<flow::CornerProblem>(&solved))
        throw py::value_error(bodies::cornerProblemText(*problem, kDigits));
    const auto& flow = std::get<flow::CornerFlow>(solved);
    py::list keys, labels, rows;
    for (std::size_t i = 0; i < flow.waves.size(); ++i) {
        keys.append(py::make_tuple(i + 1, i + 2));
        labels.append(std::string(bodies::waveName(flow.waves[i].kind)));
        const auto values = bodies::cornerValues(flow, i);
        rows.append(std::vector<double>(values.begin(), values.end()));
    }
    if (flow.waves.size() > 1) {
        keys.append(py::make_tuple(1, flow.regions.size()));
        labels.append("overall");
        const auto values = bodies::cornerOverallValues(flow);
        rows.append(std::vector<double>(values.begin(), values.end()));
    }
    return py::make_tuple(keys, labels, rows);
}

// The shapes velhorn-cli body --shape names; a reason for numbers that make none.
bodies::Shape shapeOf(const std::string& kind, double halfAngle, double thickness, double crest, int facets,
                      const std::vector<std::pair<double, double>>& points)
{
    bodies::ShapeOrReason made = bodies::flatPlate();
    if (kind == "wedge")
        made = bodies::wedge(halfAngle);
    else if (kind == "diamond")
        made = bodies::diamond(thickness, crest);
    else if (kind == "biconvex")
        made = bodies::biconvex(thickness, facets);
    else if (kind == "polygon") {
        std::vector<bodies::Point> outline;
        for (const auto& [x, y] : points)
            outline.push_back({x, y});
        made = bodies::polygon(outline);
    } else if (kind != "plate")
        throw std::invalid_argument("shape must be plate, wedge, diamond, biconvex or polygon, not " + kind);
    if (const auto* reason = std::get_if<std::string>(&made))
        throw std::invalid_argument(*reason);
    return std::get<bodies::Shape>(made);
}

// A body's forces a case, at each M and alpha, as velhorn-cli body writes them.
py::tuple body(const bodies::Shape& shape, const Input& M, const Input& alpha, const Input& gamma, std::size_t n,
               bool stopAtFirst)
{
    constexpr std::size_t kColumns = bodies::kBodyColumns.size();
    const Column Ms = column(M, n), alphas = column(alpha, n), gammas = column(gamma, n);
    py::array_t<double> out({static_cast<py::ssize_t>(n), static_cast<py::ssize_t>(kColumns)});
    double* o = out.mutable_data();
    const Failure failure = forEachCase(n, stopAtFirst, [&](std::size_t i, Gases& gases, std::string& why) {
        double* row = o + i * kColumns;
        std::fill(row, row + kColumns, kNaN);
        const flow::Gas* gas = gases.at(gammas[i], why);
        if (!gas)
            return false;
        const auto solved = bodies::solveBody(*gas, shape, Ms[i], alphas[i]);
        if (const auto* problem = std::get_if<bodies::BodyProblem>(&solved)) {
            why = bodies::bodyProblemText(*problem, kDigits);
            return false;
        }
        const auto values = bodies::bodyValues(std::get<bodies::BodyFlow>(solved));
        std::memcpy(row, values.data(), sizeof values);
        return true;
    });
    return py::make_tuple(out, failure.index, failure.why);
}

// One body's facets, as velhorn-cli body --per-facet: numbers, surface and wave names, values.
py::tuple facets(const bodies::Shape& shape, double M, double alpha, double gamma)
{
    const auto solved = bodies::solveBody(flow::Gas(gamma), shape, M, alpha);
    if (const auto* problem = std::get_if<bodies::BodyProblem>(&solved))
        throw py::value_error(bodies::bodyProblemText(*problem, kDigits));
    py::list keys, surfaces, waves, rows;
    for (const auto& facet : std::get<bodies::BodyFlow>(solved).facets) {
        keys.append(facet.index);
        surfaces.append(std::string(bodies::surfaceName(facet.surface)));
        waves.append(std::string(bodies::waveName(facet.wave)));
        const auto values = bodies::facetValues(facet);
        rows.append(std::vector<double>(values.begin(), values.end()));
    }
    return py::make_tuple(keys, surfaces, waves, rows);
}

py::list names(std::span<const std::string_view> columns)
{
    py::list list;
    for (auto name : columns)
        list.append(py::str(name.data(), name.size()));
    return list;
}

}  // namespace

PYBIND11_MODULE(_core, m)
{
    m.doc() = "The Velhorn flow core on flat arrays; use the velhorn package, which broadcasts and names.";
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p)
                std::rethrow_exception(p);
        } catch (const std::invalid_argument& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        }
    });
    m.attr("FAN_COLUMNS") = names(press::kFanColumns);
    m.attr("STATE_COLUMNS") = names(press::kStateColumns);
    m.attr("SHOCK_COLUMNS") = names(bodies::kShockColumns);
    m.attr("CORNER_KEYS") = names(bodies::kCornerKeys);
    m.attr("WAVE_LABEL") = std::string(bodies::kWaveLabel);
    m.attr("CORNER_COLUMNS") = names(bodies::kCornerColumns);
    m.attr("FACET_KEYS") = names(bodies::kFacetKeys);
    m.attr("FACET_LABELS") = names(bodies::kFacetLabels);
    m.attr("FACET_COLUMNS") = names(bodies::kFacetColumns);
    m.attr("BODY_COLUMNS") = names(bodies::kBodyColumns);
    py::list gases;
    for (const auto& g : flow::gasPresets())
        gases.append(py::make_tuple(std::string(g.name), g.gamma, std::string(g.source)));
    m.attr("GASES") = gases;
    m.def("nu_max", [](double gamma) { return flow::nuMaxDegrees(flow::Gas(gamma)); });
    m.def("state_quantity", &stateQuantity);
    m.def("fan", &fan);
    m.def("chain", &chain);
    m.def("table", &table);
    m.def("shock", &shock);
    m.def("corners", &corners);
    py::class_<bodies::Shape>(m, "Shape");
    m.def("shape", &shapeOf);
    m.def("body", &body);
    m.def("facets", &facets);
    m.def("usable_cores", &usableCores);
    m.def("rounded", &text::roundedNumber, "a number to `digits` significant digits, as velhorn-cli's table");
    m.def("shortest", &text::shortestNumber, "the shortest text that reads back to the same number");
    m.def("html_table", [](const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows) {
        const std::vector<std::string_view> views(header.begin(), header.end());
        return text::htmlTable(views, rows);
    });
}
