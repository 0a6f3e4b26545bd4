#include "bodies/records.h"
#include "cli/batch.h"
#include "cli/wave_commands.h"
#include "press/records.h"
#include "text/number_text.h"

#include <algorithm>
#include <istream>
#include <stdexcept>

namespace velhorn::cli {

namespace {

std::variant<flow::Shock, flow::WaveProblem> solveShock(const flow::Gas& gas, double M1, std::optional<double> theta,
                                                        std::optional<double> beta, bool strong,
                                                        flow::ShockLimits& limits)
{
    if (beta)
        return flow::shockFromAngle(gas, M1, *beta, limits);
    return flow::shockFromDeflection(gas, M1, *theta, strong ? flow::Branch::Strong : flow::Branch::Weak, limits);
}

}  // namespace

int runShock(const Settings& settings, double M1, std::optional<double> theta, std::optional<double> beta, bool strong,
             Output& out)
{
    flow::ShockLimits limits;
    const auto shock = solveShock(settings.gas, M1, theta, beta, strong, limits);
    if (const auto* p = std::get_if<flow::WaveProblem>(&shock)) {
        complain(bodies::waveProblemText(*p, "M1", settings.digits));
        return kNoSolution;
    }
    RecordWriter writer(out, settings.format, settings.digits, {}, bodies::kShockColumns);
    writer.write({}, bodies::shockValues(std::get<flow::Shock>(shock), limits));
    writer.finish();
    return kSolved;
}

int runShockBatch(const Settings& settings, std::istream& in, bool strong, Output& out)
{
    enum Column { kM1, kTheta, kBeta, kGamma, kUnknown };
    std::vector<Column> columns;
    std::string line;
    long long number = 0;
    std::string error;
    while (columns.empty() && std::getline(in, line)) {
        ++number;
        if (isBlankOrComment(line))
            continue;
        if (line.substr(0, 3) == "\xEF\xBB\xBF")
            line.erase(0, 3);
        bool seen[4] = {};
        text::splitFields(line, ',', [&](std::string_view field) {
            if (!error.empty())
                return;
            const Column c = field == "M1"                             ? kM1
                             : field == "theta" || field == "theta_deg" ? kTheta
                             : field == "beta" || field == "beta_deg"   ? kBeta
                             : field == "gamma"                         ? kGamma
                                                                        : kUnknown;
            if (c == kUnknown)
                error = "unknown column " + quotedField(field) + "; the columns are M1, theta or beta, and gamma";
            else if (seen[c])
                error = "column " + quotedField(field) + " appears twice";
            else
                seen[c] = true;
            columns.push_back(c);
        });
        if (error.empty() && !(seen[kM1] && seen[kTheta] != seen[kBeta]))
            error = "the header must name M1 and one of theta and beta (and gamma if the gas varies)";
        if (!error.empty()) {
            complain("line " + std::to_string(number) + ": " + error);
            return kUsage;
        }
    }
    if (columns.empty()) {
        complain("the cases have no header line naming their columns, such as M1,theta");
        return kUsage;
    }
    constexpr std::string_view kLineKey[] = {"line"};
    RecordWriter writer(out, settings.format, settings.digits, {std::begin(kLineKey), std::end(kLineKey)},
                        bodies::kShockColumns);
    const bool byBeta = std::find(columns.begin(), columns.end(), kBeta) != columns.end();
    const bool byLine = std::find(columns.begin(), columns.end(), kGamma) != columns.end();
    bool failed = false;
    std::optional<flow::Gas> lineGas;
    double values[4] = {};
    std::string_view fields[4];
    while (std::getline(in, line)) {
        ++number;
        if (isBlankOrComment(line))
            continue;
        const auto fail = [&](const std::string& why) {
            out.complain("line " + std::to_string(number) + ": " + why);
            out.maybeFlush();
            failed = true;
        };
        std::size_t index = 0;
        error.clear();
        text::splitFields(line, ',', [&](std::string_view field) {
            if (!error.empty() || index++ >= columns.size())
                return;
            const auto value = text::readNumber(field);
            if (!value)
                error = (field.empty() ? "an empty field" : quotedField(field)) + " in column " + std::to_string(index) +
                        " is not a number";
            else {
                values[columns[index - 1]] = *value;
                fields[columns[index - 1]] = field;
            }
        });
        if (error.empty() && index != columns.size())
            error = "expected " + std::to_string(columns.size()) + " fields, found " + std::to_string(index);
        if (!error.empty()) {
            fail(error);
            continue;
        }
        const flow::Gas* gas = &settings.gas;
        if (byLine) {
            if (!lineGas || lineGas->gamma() != values[kGamma]) {
                try {
                    lineGas.emplace(values[kGamma]);
                } catch (const std::invalid_argument& e) {
                    lineGas.reset();
                    fail("gamma = " + text::roundedNumber(values[kGamma], settings.digits) + ": " + e.what());
                    continue;
                }
            }
            gas = &*lineGas;
        }
        flow::ShockLimits limits;
        const auto shock = solveShock(*gas, values[kM1], byBeta ? std::nullopt : std::optional(values[kTheta]),
                                      byBeta ? std::optional(values[kBeta]) : std::nullopt, strong, limits);
        if (const auto* p = std::get_if<flow::WaveProblem>(&shock)) {
            fail(bodies::waveProblemText(*p, "M1", settings.digits));
            continue;
        }
        // M1 and the angle given come back as they were typed where that text is already theirs.
        std::string_view texts[bodies::kShockColumns.size()];
        const auto echo = [&](std::size_t column, Column from) {
            if (text::isShortestText(fields[from]))
                texts[column] = fields[from];
        };
        echo(1, kM1);
        echo(byBeta ? 3 : 2, byBeta ? kBeta : kTheta);
        const long long keys[] = {number};
        writer.write(keys, bodies::shockValues(std::get<flow::Shock>(shock), limits), texts);
    }
    writer.finish();
    return failed ? kNoSolution : kSolved;
}

}  // namespace velhorn::cli
