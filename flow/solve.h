#pragma once

#include "flow/full_precision_fan.h"
#include "flow/gas.h"

#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

// A fan from any two of its three givens, or a chain of fans over several corners, with the
// reason when there is none.
namespace velhorn::flow {

// How a state is given.
enum class By { Mach, Nu, Mu };
struct Given {
    By by = By::Mach;
    double value = 1;
};

// Why a case has no solution: `quantity` (as "M1", "nu2", "theta") was `value`, and only
// values from `low` to `high` have one; `highOpen` when `high` itself has none. MachOverflows:
// a Mach angle so small that its Mach number (`solvedFor`) exceeds the largest double; `low` is
// the smallest angle whose Mach number does not.
struct Problem {
    enum class Kind { OutOfRange, BeyondDoubleRange, MachOverflows };
    Kind kind = Kind::OutOfRange;
    std::string_view quantity;
    double value = 0;
    double low = 0;
    double high = 0;
    bool highOpen = false;
    std::string_view solvedFor;  // for theta: the state that cannot be found ("M2"), else empty
    std::string_view givenName;  // for theta: the state it was measured from ("M1")
    double givenValue = 0;
};

// Exactly two of the three must be present.
[[nodiscard]] std::variant<Fan, Problem> solveFan(const Gas& gas, std::optional<Given> upstream,
                                                  std::optional<Given> downstream, std::optional<double> theta);

// Whether solveFans, tableStates, machsFromNu and shocksFromDeflections work air's cases eight
// at a time here: a build for x86-64 with the lanes, on a processor with AVX2 and FMA.
[[nodiscard]] bool manyAtOnceInLanes();

// solveFan from M1[i] and theta[i] for every i, into out[i]: the same results, for air several
// times quicker on machines with AVX2 and FMA, which work eight cases at a time.
void solveFans(const Gas& gas, std::span<const double> M1, std::span<const double> theta,
               std::span<std::variant<Fan, Problem>> out);

// machFromNu for each of `nu`, into out[i]: the same results, for air several times quicker on
// machines with AVX2 and FMA.
void machsFromNu(const Gas& gas, std::span<const double> nu, std::span<std::optional<double>> out);

// A fan of a row of corners, from a flow whose angles are known, turned by `theta`: the angles
// behind it and the ratios across, the same bits as solveFan from M1 = upstream.M and theta gives,
// without the states' ratios to their totals, which such a row does not use.
struct Turn {
    Angles downstream;
    Across across;
};
[[nodiscard]] std::variant<Turn, Problem> solveTurn(const Gas& gas, const Angles& upstream, double theta);

// Corners turned one after another from `upstream`: one fan a corner, and the whole chain as
// one fan last.
[[nodiscard]] std::variant<std::vector<Fan>, Problem> solveChain(const Gas& gas, Given upstream,
                                                                 std::span<const double> thetas);

// A state of the gas table, given by M or by nu.
[[nodiscard]] std::variant<State, Problem> tableState(const Gas& gas, Given given);
// tableState for each of `values`, given as `by`, into out[i]: the same results, for air by M
// several times quicker on machines with AVX2 and FMA.
void tableStates(const Gas& gas, By by, std::span<const double> values, std::span<std::variant<State, Problem>> out);

}  // namespace velhorn::flow
