#include "press/records.h"

#include "press/conversions.h"

#include <algorithm>
#include "press/chars.h"
#include <cmath>

namespace velhorn::press {

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

// The shortest text of a finite value at `first`, with 48 characters of room; nothing for one
// that is not finite, and "0" for -0.
char* writeShortest(char* first, double value)
{
    if (!std::isfinite(value))
        return first;
    return chars::shortest(first, first + 48, value == 0 ? 0.0 : value);
}

}  // namespace

void appendShortest(std::string& out, double value)
{
    char buffer[48];
    char* end = writeShortest(buffer, value);
    out.append(buffer, static_cast<std::size_t>(end - buffer));  // the iterator form takes a slow path
}

std::string shortestNumber(double value)
{
    std::string text;
    appendShortest(text, value);
    return text;
}

std::string roundedNumber(double value, int digits)
{
    if (!std::isfinite(value))
        return {};
    if (value == 0)
        value = 0.0;
    char buffer[64];
    // 64 characters hold 17 digits, a sign, a point and an exponent
    char* end = chars::general(buffer, buffer + sizeof buffer, value, digits < 1 ? 1 : digits > 17 ? 17 : digits);
    return {buffer, end};
}

std::optional<double> readNumber(std::string_view text)
{
    // One sign at most, then a digit or the point: from_chars would read "+-2" as the -2 after the +.
    const std::size_t start = !text.empty() && (text.front() == '+' || text.front() == '-') ? 1 : 0;
    if (text.size() <= start || !((text[start] >= '0' && text[start] <= '9') || text[start] == '.'))
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1);
    // from_chars also reads "inf", "nan" and hexadecimal digits after "0x"; a number here is
    // decimal digits with an optional point and exponent.
    for (char c : text) {
        const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-' || c == '+';
        if (!allowed)
            return std::nullopt;
    }
    double value = 0;
    const char* end = nullptr;
    if (chars::read(text.data(), text.data() + text.size(), value, end) != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void appendNames(std::string& out, std::span<const std::string_view> names, char separator)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            out += separator;
        out += names[i];
    }
    out += '\n';
}

void appendValues(std::string& out, std::span<const double> values, char separator)
{
    // A row is laid out on the stack and appended whole: one copy instead of one a value.
    char line[1024];
    char* end = line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (end - line > static_cast<std::ptrdiff_t>(sizeof line) - 64) {
            out.append(line, static_cast<std::size_t>(end - line));
            end = line;
        }
        if (i > 0)
            *end++ = separator;
        end = writeShortest(end, values[i]);
    }
    *end++ = '\n';
    out.append(line, static_cast<std::size_t>(end - line));
}

std::string htmlTable(std::span<const std::string_view> names, const std::vector<std::vector<std::string>>& rows)
{
    // Names and numbers hold no character HTML treats specially.
    std::string html = "<table>\n<tr>";
    for (std::string_view name : names)
        html += "<th>" + std::string(name) + "</th>";
    html += "</tr>\n";
    for (const auto& row : rows) {
        html += "<tr>";
        for (const std::string& cell : row)
            html += "<td>" + cell + "</td>";
        html += "</tr>\n";
    }
    return html + "</table>\n";
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
    appendNames(header, recordColumns(), separator);
    return header;
}

std::string recordLine(const PressRecord& record, char separator)
{
    std::string line;
    appendValues(line, record.values, separator);
    line.back() = separator;
    line += record.time;
    line += separator;
    line += modeName(record.found);
    line += '\n';
    return line;
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
    return htmlTable(recordColumns(), rows);
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
