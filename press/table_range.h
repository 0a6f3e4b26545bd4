#pragma once

#include <cmath>
#include <optional>
#include <string_view>

// The rows of a gas table from `from` to `to` in steps of `step`, wherever a table is written.
namespace velhorn::press {

struct TableRange {
    double from = 0;
    double to = 0;
    double step = 1;
    long long count = 0;
    // Placed by multiplication, so no step's rounding carries into the next; a last row that
    // lands a hair past `to` is `to` itself.
    [[nodiscard]] double at(long long row) const { return std::fmin(from + static_cast<double>(row) * step, to); }
};

inline constexpr double kMostTableRows = 1e9;
// Why a range gives no table, in one line.
inline constexpr std::string_view kTableRangeRule =
    "a table needs FROM <= TO and a STEP above 0 that gives at most a billion rows";

// Nothing unless from <= to and a step above 0 give at most kMostTableRows rows.
[[nodiscard]] inline std::optional<TableRange> tableRange(double from, double to, double step)
{
    if (!(step > 0) || !(to >= from) || !((to - from) / step < kMostTableRows))
        return std::nullopt;
    // Counted once, with room for a quotient that rounds a hair below a whole number.
    const auto count = static_cast<long long>(std::floor((to - from) / step * (1 + 1e-12))) + 1;
    return TableRange{from, to, step, count};
}

}  // namespace velhorn::press
