#pragma once

#include "flow/full_precision_fan.h"
#include "flow/solve.h"
#include "press/press.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Results as records for other programs: named columns with their units, values at full
// precision with a point (text/), one line a record. The command line writes these, and so can
// anything that must agree with it.
namespace velhorn::press {

// Every quantity of a fan, in column order.
inline constexpr std::array<std::string_view, 21> kFanColumns = {
    "gamma",     "M1",       "nu1_deg",  "mu1_deg", "p1_p0",  "T1_T0",  "rho1_rho0",
    "M2",        "nu2_deg",  "mu2_deg",  "p2_p0",   "T2_T0",  "rho2_rho0",
    "theta_deg", "p2_p1",    "T2_T1",    "rho2_rho1",
    "forward_mach_line_deg", "rearward_mach_line_deg", "max_turn_deg", "nu_max_deg",
};
[[nodiscard]] std::array<double, kFanColumns.size()> fanValues(const flow::Fan& fan);

// A row of a gas table.
inline constexpr std::array<std::string_view, 6> kStateColumns = {"M", "nu_deg", "mu_deg", "p_p0", "T_T0", "rho_rho0"};
[[nodiscard]] std::array<double, kStateColumns.size()> stateValues(const flow::State& state);

// The fan a press of the window found, every quantity at full precision, for copying and
// keeping: the exact solution of what was typed or, where only the window's tolerance finds one
// (a Teta a hair past the end of its range), the two states the window found. Nothing when the
// press found no result, or one beyond the double range.
[[nodiscard]] std::optional<flow::Fan> fanOfPress(Mode mode, const Typed& typed, const Outcome& outcome);

// A press's result as "Copy results" and the history keep it: every quantity of its fan, then
// when it was made (ISO 8601, UTC) and which quantity it found.
struct PressRecord {
    std::array<double, kFanColumns.size()> values{};
    std::string time;
    Mode found = Mode::M2;
};
// What a press keeps for Copy results and the history: the record of its fan made at `time`, or
// nothing when it found no result (fanOfPress). `mode` is empty when no option was chosen.
[[nodiscard]] std::optional<PressRecord> recordOfPress(std::optional<Mode> mode, const Typed& typed,
                                                       const Outcome& outcome, std::string time);
[[nodiscard]] std::string_view modeName(Mode mode);
// The header and one line of such records: CSV with ',', TSV with '\t'.
[[nodiscard]] std::string recordHeader(char separator);
[[nodiscard]] std::string recordLine(const PressRecord& record, char separator);
// A line as recordLine writes it with ',' (without its line feed), or nothing. The time is taken
// as it stands; whoever keeps records checks it.
[[nodiscard]] std::optional<PressRecord> readRecordLine(std::string_view line);
// The same as an HTML table, for word processors.
[[nodiscard]] std::string recordTable(std::span<const PressRecord> records);

// Why a case has no solution, in one line; numbers with `digits` significant digits.
[[nodiscard]] std::string problemText(const flow::Problem& problem, int digits);

}  // namespace velhorn::press
