#include "press/records.h"

#include "text/box_text.h"
#include "text/fields.h"
#include "text/html_table.h"
#include "text/number_text.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velhorn::press {

using text::parseNumber;
using text::roundedNumber;
using text::shortestNumber;

std::array<double, kFanColumns.size()> fanValues(const flow::Fan& f)
{
    const flow::State& a = f.upstream;
    const flow::State& b = f.downstream;
    return {f.gamma, a.M, a.nu, a.mu, a.pOverP0, a.TOverT0, a.rhoOverRho0,
            b.M, b.nu, b.mu, b.pOverP0, b.TOverT0, b.rhoOverRho0,
            f.theta, f.p2p1, f.T2T1, f.rho2rho1,
            f.forwardMachLine, f.rearwardMachLine, f.maxTurn, f.nuMax};
}

std::array<double, kStateColumns.size()> stateValues(const flow::State& s)
{
    return {s.M, s.nu, s.mu, s.pOverP0, s.TOverT0, s.rhoOverRho0};
}

namespace {

constexpr std::string_view kTimeColumn = "time_utc";
constexpr std::string_view kFoundColumn = "found";

std::vector<std::string_view> recordColumns()
{
    std::vector<std::string_view> names(kFanColumns.begin(), kFanColumns.end());
    names.push_back(kTimeColumn);
    names.push_back(kFoundColumn);
    return names;
}

}  // namespace

constexpr std::array kModes{Mode::M1, Mode::Teta, Mode::M2};

std::optional<PressRecord> recordOfPress(std::optional<Mode> mode, const Typed& typed, const Outcome& outcome,
                                         std::string time)
{
    if (!mode)
        return std::nullopt;
    const auto fan = fanOfPress(*mode, typed, outcome);
    if (!fan)
        return std::nullopt;
    return PressRecord{fanValues(*fan), std::move(time), *mode};
}

std::string_view modeName(Mode mode)
{
    switch (mode) {
    case Mode::M1: return "M1";
    case Mode::Teta: return "Teta";
    case Mode::M2: return "M2";
    }
    return {};
}

std::string recordHeader(char separator)
{
    std::string header;
    text::appendNames(header, recordColumns(), separator);
    return header;
}

std::string recordLine(const PressRecord& record, char separator)
{
    std::string line;
    text::appendValues(line, record.values, separator);
    line.back() = separator;
    line += record.time;
    line += separator;
    line += modeName(record.found);
    line += '\n';
    return line;
}

std::optional<PressRecord> readRecordLine(std::string_view line)
{
    PressRecord record;
    std::size_t field = 0;
    bool read = true;
    text::splitFields(line, ',', [&](std::string_view value) {
        if (field < record.values.size()) {
            const auto number = text::readNumber(value);
            read = read && number.has_value();
            record.values[field] = number.value_or(0);
        } else if (field == record.values.size()) {
            record.time = value;
        } else if (field == record.values.size() + 1) {
            const auto mode = std::find_if(kModes.begin(), kModes.end(), [&](Mode m) { return modeName(m) == value; });
            read = read && mode != kModes.end();
            record.found = mode != kModes.end() ? *mode : Mode::M2;
        }
        ++field;
    });
    if (!read || field != record.values.size() + 2)
        return std::nullopt;
    return record;
}

std::string recordTable(std::span<const PressRecord> records)
{
    std::vector<std::vector<std::string>> rows;
    for (const PressRecord& record : records) {
        std::vector<std::string> cells;
        for (double value : record.values)
            cells.push_back(shortestNumber(value));
        cells.push_back(record.time);
        cells.emplace_back(modeName(record.found));
        rows.push_back(std::move(cells));
    }
    return text::htmlTable(recordColumns(), rows);
}

std::optional<flow::Fan> fanOfPress(Mode mode, const Typed& typed, const Outcome& outcome)
{
    if (!outcome.output || outcome.states.size() != 2)
        return std::nullopt;
    using flow::By;
    using flow::Given;
    const flow::Gas& air = flow::Gas::air();
    const auto given = [](std::u16string_view text) { return Given{By::Mach, parseNumber(text)}; };
    const double teta = parseNumber(typed.Teta);
    const auto solved = mode == Mode::Teta ? flow::solveFan(air, given(typed.M1), given(typed.M2), std::nullopt)
                        : mode == Mode::M2 ? flow::solveFan(air, given(typed.M1), std::nullopt, teta)
                                           : flow::solveFan(air, std::nullopt, given(typed.M2), teta);
    flow::Fan fan;
    if (const auto* exact = std::get_if<flow::Fan>(&solved)) {
        fan = *exact;
    } else {
        fan = flow::fanBetween(air, flow::stateAt(air, outcome.states[0].M), flow::stateAt(air, outcome.states[1].M));
    }
    const auto values = fanValues(fan);
    if (!std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); }))
        return std::nullopt;
    return fan;
}

std::string problemText(const flow::Problem& p, int digits)
{
    using Kind = flow::Problem::Kind;
    if (p.kind == Kind::BeyondDoubleRange)
        return "the results lie beyond the range of double-precision numbers";
    const auto number = [digits](double v) {
        if (std::isinf(v))
            return std::string(v > 0 ? "infinity" : "-infinity");
        if (std::isnan(v))
            return std::string("NaN");  // only a program's caller can pass one
        return roundedNumber(v, digits);
    };
    if (p.kind == Kind::MachOverflows)
        return std::string(p.quantity) + " = " + number(p.value) + " makes " + std::string(p.solvedFor) +
               " = 1/sin(" + std::string(p.quantity) + ") overflow the largest double: " + std::string(p.quantity) +
               " must be from " + number(p.low) + " to " + number(p.high);
    const std::string range = std::isinf(p.high) ? "at least " + number(p.low)
                              : p.highOpen       ? "from " + number(p.low) + " up to but not including " + number(p.high)
                                                 : "above " + number(p.low) + " and at most " + number(p.high);
    std::string text;
    if (!p.solvedFor.empty()) {
        text = "no " + std::string(p.solvedFor) + " gives theta = " + number(p.value) + " with " +
               std::string(p.givenName) + " = " + number(p.givenValue);
    } else {
        const bool subsonic = p.quantity.starts_with('M') && p.value < 1;
        text = std::string(p.quantity) + " = " + number(p.value) + (subsonic ? " is subsonic" : " has no solution");
    }
    return text + ": " + std::string(p.quantity) + " must be " + range;
}

}  // namespace velhorn::press
