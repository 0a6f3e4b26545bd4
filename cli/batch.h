#pragma once

#include "flow/solve.h"
#include "text/fields.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Cases read from CSV, one a line, under a header that names what each column holds.
namespace velhorn::cli {

// What each column of the header holds.
struct BatchLayout {
    enum class Field { Upstream, Downstream, Theta, Gamma };
    struct Column {
        Field field;
        flow::By by;  // for the two states
    };
    std::vector<Column> columns;  // at most three: two of the states and theta, and gamma
};

// The column of press::fanValues that holds what a layout's column gives.
[[nodiscard]] std::size_t fanColumnOf(BatchLayout::Column column);

struct BatchCase {
    std::optional<flow::Given> upstream;
    std::optional<flow::Given> downstream;
    std::optional<double> theta;
    std::optional<double> gamma;
    // Each column's value and its text as the line had it, in the layout's order.
    std::array<double, 3> values{};
    std::array<std::string_view, 3> texts{};
};

// The header's layout, or why it is not one: exactly two of a state 1 column (M1, nu1, mu1), a
// state 2 column (M2, nu2, mu2) and theta, and gamma if the gas varies; a unit suffix
// ("nu1_deg", "theta_deg") may follow a name.
[[nodiscard]] std::variant<BatchLayout, std::string> readBatchHeader(std::string_view line);

// One case under `layout`, or why the line is not one.
[[nodiscard]] std::variant<BatchCase, std::string> readBatchCase(const BatchLayout& layout, std::string_view line);

// Whether a line holds nothing to read: blank, or a comment starting with '#'.
[[nodiscard]] bool isBlankOrComment(std::string_view line);

// A field as a message shows it: quoted, cut short, control characters as '?'.
[[nodiscard]] std::string quotedField(std::string_view text);

}  // namespace velhorn::cli
