#include "bodies/records.h"
#include "cli/batch.h"
#include "cli/wave_commands.h"
#include "press/records.h"
#include "text/number_text.h"

#include <algorithm>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

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
    const auto fail = [&](long long at, const std::string& why) {
        out.complain("line " + std::to_string(at) + ": " + why);
        out.maybeFlush();
        failed = true;
    };
    // Lines are read a chunk at a time; weak shocks from M1 and theta in the command's gas are
    // solved together, which the core may work several at once, the rest one by one.
    struct Read {
        long long number = 0;
        std::string error;
        double values[4] = {};
        std::string texts[2];  // of M1 and of the angle given
    };
    constexpr std::size_t kChunk = 256;
    const bool together = !byBeta && !byLine && !strong;
    std::vector<Read> chunk(kChunk);
    std::vector<double> M1s, thetas;
    std::vector<flow::LimitedShock> shocks(kChunk);
    std::optional<flow::Gas> lineGas;
    const auto solveAndWrite = [&](std::size_t count) {
        if (together) {
            M1s.clear();
            thetas.clear();
            for (std::size_t i = 0; i < count; ++i) {
                if (chunk[i].error.empty()) {
                    M1s.push_back(chunk[i].values[kM1]);
                    thetas.push_back(chunk[i].values[kTheta]);
                }
            }
            flow::shocksFromDeflections(settings.gas, M1s, thetas, {shocks.data(), M1s.size()});
        }
        std::size_t next = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const Read& r = chunk[i];
            if (!r.error.empty()) {
                fail(r.number, r.error);
                continue;
            }
            flow::LimitedShock alone;
            const flow::LimitedShock* solved = &alone;
            if (together) {
                solved = &shocks[next++];
            } else {
                const flow::Gas* gas = &settings.gas;
                if (byLine) {
                    if (!lineGas || lineGas->gamma() != r.values[kGamma]) {
                        try {
                            lineGas.emplace(r.values[kGamma]);
                        } catch (const std::invalid_argument& e) {
                            lineGas.reset();
                            fail(r.number, "gamma = " + text::roundedNumber(r.values[kGamma], settings.digits) + ": " +
                                               e.what());
                            continue;
                        }
                    }
                    gas = &*lineGas;
                }
                alone.shock = solveShock(*gas, r.values[kM1], byBeta ? std::nullopt : std::optional(r.values[kTheta]),
                                         byBeta ? std::optional(r.values[kBeta]) : std::nullopt, strong, alone.limits);
            }
            if (const auto* p = std::get_if<flow::WaveProblem>(&solved->shock)) {
                fail(r.number, bodies::waveProblemText(*p, "M1", settings.digits));
                continue;
            }
            // M1 and the angle given come back as they were typed where that text is already theirs.
            std::string_view texts[bodies::kShockColumns.size()];
            if (text::isShortestText(r.texts[0]))
                texts[1] = r.texts[0];
            if (text::isShortestText(r.texts[1]))
                texts[byBeta ? 3 : 2] = r.texts[1];
            const long long keys[] = {r.number};
            writer.write(keys, bodies::shockValues(std::get<flow::Shock>(solved->shock), solved->limits), texts);
        }
    };
    std::size_t count = 0;
    while (std::getline(in, line)) {
        ++number;
        if (isBlankOrComment(line))
            continue;
        Read& r = chunk[count++];
        r.number = number;
        r.error.clear();
        std::size_t index = 0;
        text::splitFields(line, ',', [&](std::string_view field) {
            if (!r.error.empty() || index++ >= columns.size())
                return;
            const auto value = text::readNumber(field);
            if (!value) {
                r.error = (field.empty() ? "an empty field" : quotedField(field)) + " in column " +
                          std::to_string(index) + " is not a number";
            } else {
                const Column c = columns[index - 1];
                r.values[c] = *value;
                if (c == kM1 || c == kTheta || c == kBeta)
                    r.texts[c == kM1 ? 0 : 1] = field;
            }
        });
        if (r.error.empty() && index != columns.size())
            r.error = "expected " + std::to_string(columns.size()) + " fields, found " + std::to_string(index);
        if (count == kChunk) {
            solveAndWrite(count);
            count = 0;
        }
    }
    solveAndWrite(count);
    writer.finish();
    return failed ? kNoSolution : kSolved;
}

}  // namespace velhorn::cli
