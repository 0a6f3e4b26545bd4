#include "cli/batch.h"

#include "press/records.h"
#include "text/number_text.h"

#include <array>

namespace velhorn::cli {

namespace {

using Field = BatchLayout::Field;
using flow::By;

struct Name {
    std::string_view name;
    Field field;
    By by;
};
constexpr std::array kNames = {
    Name{"M1", Field::Upstream, By::Mach},   Name{"nu1", Field::Upstream, By::Nu},
    Name{"mu1", Field::Upstream, By::Mu},    Name{"M2", Field::Downstream, By::Mach},
    Name{"nu2", Field::Downstream, By::Nu},  Name{"mu2", Field::Downstream, By::Mu},
    Name{"theta", Field::Theta, By::Mach},   Name{"gamma", Field::Gamma, By::Mach},
};

}  // namespace

std::string quotedField(std::string_view text)
{
    constexpr std::size_t kShown = 40;
    std::string shown(text.substr(0, kShown));
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return "'" + shown + (text.size() > kShown ? "...'" : "'");
}

bool isBlankOrComment(std::string_view line)
{
    line = text::trimField(line);
    return line.empty() || line.front() == '#';
}

std::variant<BatchLayout, std::string> readBatchHeader(std::string_view line)
{
    if (line.substr(0, 3) == "\xEF\xBB\xBF")
        line.remove_prefix(3);  // a byte-order mark that spreadsheets write
    BatchLayout layout;
    std::string error;
    std::array<int, 4> seen{};
    text::splitFields(line, ',', [&](std::string_view field) {
        if (!error.empty())
            return;
        std::string_view base = field;
        if (base.ends_with("_deg"))
            base.remove_suffix(4);
        for (const Name& n : kNames) {
            if (n.name == base && (base == field || n.by == By::Nu || n.by == By::Mu || n.field == Field::Theta)) {
                layout.columns.push_back({n.field, n.by});
                if (++seen[static_cast<std::size_t>(n.field)] > 1)
                    error = "column " + quotedField(field) + " gives a quantity another column already gives";
                return;
            }
        }
        error = "unknown column " + quotedField(field) + "; the columns are M1, nu1, mu1, M2, nu2, mu2, theta and gamma";
    });
    if (!error.empty())
        return error;
    if (seen[0] + seen[1] + seen[2] != 2)
        return std::string("the header must name exactly two of state 1 (M1, nu1 or mu1), state 2 (M2, nu2 or mu2) "
                           "and theta");
    return layout;
}

std::size_t fanColumnOf(BatchLayout::Column column)
{
    // By Mach, nu and mu, in By's order.
    constexpr std::size_t kUpstream[] = {1, 2, 3};
    constexpr std::size_t kDownstream[] = {7, 8, 9};
    static_assert(static_cast<int>(By::Mach) == 0 && static_cast<int>(By::Nu) == 1 && static_cast<int>(By::Mu) == 2);
    static_assert(press::kFanColumns[1] == "M1" && press::kFanColumns[2] == "nu1_deg" &&
                  press::kFanColumns[3] == "mu1_deg" && press::kFanColumns[7] == "M2" &&
                  press::kFanColumns[8] == "nu2_deg" && press::kFanColumns[9] == "mu2_deg" &&
                  press::kFanColumns[13] == "theta_deg" && press::kFanColumns[0] == "gamma");
    switch (column.field) {
    case Field::Upstream: return kUpstream[static_cast<std::size_t>(column.by)];
    case Field::Downstream: return kDownstream[static_cast<std::size_t>(column.by)];
    case Field::Theta: return 13;
    case Field::Gamma: return 0;
    }
    return 0;
}

std::variant<BatchCase, std::string> readBatchCase(const BatchLayout& layout, std::string_view line)
{
    BatchCase c;
    std::size_t index = 0;
    std::string error;
    text::splitFields(line, ',', [&](std::string_view field) {
        if (!error.empty())
            return;
        if (index >= layout.columns.size()) {
            ++index;
            return;
        }
        const BatchLayout::Column column = layout.columns[index++];
        const auto value = text::readNumber(field);
        if (!value) {
            error = (field.empty() ? "an empty field" : quotedField(field)) + " in column " + std::to_string(index) +
                    " is not a number";
            return;
        }
        c.values[index - 1] = *value;
        c.texts[index - 1] = field;
        switch (column.field) {
        case Field::Upstream: c.upstream = flow::Given{column.by, *value}; break;
        case Field::Downstream: c.downstream = flow::Given{column.by, *value}; break;
        case Field::Theta: c.theta = *value; break;
        case Field::Gamma: c.gamma = *value; break;
        }
    });
    if (!error.empty())
        return error;
    if (index != layout.columns.size())
        return "expected " + std::to_string(layout.columns.size()) + " fields, found " + std::to_string(index);
    return c;
}

}  // namespace velhorn::cli
