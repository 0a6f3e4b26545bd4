#include "cli/commands.h"

#include "cli/batch.h"
#include "press/records.h"
#include "press/table_range.h"
#include "text/number_text.h"

#include <cmath>
#include <cstdio>
#include <istream>
#include <stdexcept>
#include <string>

namespace velhorn::cli {

namespace {

constexpr std::string_view kStepKeys[] = {"from_state", "to_state"};

}  // namespace

void complain(const std::string& what)
{
    std::fprintf(stderr, "velhorn-cli: %s\n", what.c_str());
}

int runSolve(const Settings& settings, std::optional<flow::Given> upstream, std::optional<flow::Given> downstream,
             const std::vector<double>& thetas, Output& out)
{
    if (thetas.size() > 1) {
        if (!upstream || downstream) {
            complain("several turning angles need state 1 (--M1, --nu1 or --mu1) and no state 2");
            return kUsage;
        }
        const auto chain = flow::solveChain(settings.gas, *upstream, thetas);
        if (const auto* problem = std::get_if<flow::Problem>(&chain)) {
            complain(press::problemText(*problem, settings.digits));
            return kNoSolution;
        }
        const auto& fans = std::get<std::vector<flow::Fan>>(chain);
        RecordWriter writer(out, settings.format, settings.digits, {std::begin(kStepKeys), std::end(kStepKeys)},
                            press::kFanColumns);
        for (std::size_t i = 0; i < fans.size(); ++i) {
            const bool overall = i + 1 == fans.size();
            const long long keys[] = {overall ? 1 : static_cast<long long>(i) + 1,
                                      overall ? static_cast<long long>(i) + 1 : static_cast<long long>(i) + 2};
            writer.write(keys, press::fanValues(fans[i]));
        }
        writer.finish();
        return kSolved;
    }
    const std::optional<double> theta = thetas.empty() ? std::nullopt : std::optional(thetas.front());
    if (int(upstream.has_value()) + int(downstream.has_value()) + int(theta.has_value()) != 2) {
        complain("give exactly two of state 1 (--M1, --nu1 or --mu1), state 2 (--M2, --nu2 or --mu2) and --theta");
        return kUsage;
    }
    const auto fan = flow::solveFan(settings.gas, upstream, downstream, theta);
    if (const auto* problem = std::get_if<flow::Problem>(&fan)) {
        complain(press::problemText(*problem, settings.digits));
        return kNoSolution;
    }
    RecordWriter writer(out, settings.format, settings.digits, {}, press::kFanColumns);
    writer.write({}, press::fanValues(std::get<flow::Fan>(fan)));
    writer.finish();
    return kSolved;
}

int runTable(const Settings& settings, flow::By by, double from, double to, double step, Output& out)
{
    const auto range = press::tableRange(from, to, step);
    if (!range) {
        complain(std::string(press::kTableRangeRule));
        return kUsage;
    }
    for (double end : {from, to}) {
        const auto state = flow::tableState(settings.gas, flow::Given{by, end});
        if (const auto* problem = std::get_if<flow::Problem>(&state)) {
            complain(press::problemText(*problem, settings.digits));
            return kNoSolution;
        }
    }
    RecordWriter writer(out, settings.format, settings.digits, {}, press::kStateColumns);
    for (long long i = 0; i < range->count; ++i) {
        const double x = range->at(i);
        const auto state = flow::tableState(settings.gas, flow::Given{by, x});
        if (const auto* problem = std::get_if<flow::Problem>(&state)) {
            complain(press::problemText(*problem, settings.digits));
            return kNoSolution;
        }
        writer.write({}, press::stateValues(std::get<flow::State>(state)));
    }
    writer.finish();
    return kSolved;
}

int runBatch(const Settings& settings, std::istream& in, Output& out)
{
    std::string line;
    long long number = 0;
    std::optional<BatchLayout> layout;
    while (!layout && std::getline(in, line)) {
        ++number;
        if (isBlankOrComment(line))
            continue;
        auto header = readBatchHeader(line);
        if (const auto* error = std::get_if<std::string>(&header)) {
            complain("line " + std::to_string(number) + ": " + *error);
            return kUsage;
        }
        layout = std::get<BatchLayout>(header);
    }
    if (!layout) {
        complain("the cases have no header line naming their columns, such as M1,theta");
        return kUsage;
    }
    constexpr std::string_view kLineKey[] = {"line"};
    RecordWriter writer(out, settings.format, settings.digits, {std::begin(kLineKey), std::end(kLineKey)},
                        press::kFanColumns);
    bool failed = false;
    std::optional<flow::Gas> lineGas;  // the last gamma a line gave, kept while lines repeat it
    while (std::getline(in, line)) {
        ++number;
        if (isBlankOrComment(line))
            continue;
        const auto fail = [&](const std::string& why) {
            complain("line " + std::to_string(number) + ": " + why);
            failed = true;
        };
        const auto parsed = readBatchCase(*layout, line);
        if (const auto* error = std::get_if<std::string>(&parsed)) {
            fail(*error);
            continue;
        }
        const BatchCase& c = std::get<BatchCase>(parsed);
        const flow::Gas* gas = &settings.gas;
        if (c.gamma) {
            if (!lineGas || lineGas->gamma() != *c.gamma) {
                try {
                    lineGas.emplace(*c.gamma);
                } catch (const std::invalid_argument& e) {
                    lineGas.reset();
                    fail("gamma = " + text::roundedNumber(*c.gamma, settings.digits) + ": " + e.what());
                    continue;
                }
            }
            gas = &*lineGas;
        }
        const auto fan = flow::solveFan(*gas, c.upstream, c.downstream, c.theta);
        if (const auto* problem = std::get_if<flow::Problem>(&fan)) {
            fail(press::problemText(*problem, settings.digits));
            continue;
        }
        const long long keys[] = {number};
        writer.write(keys, press::fanValues(std::get<flow::Fan>(fan)));
    }
    writer.finish();
    return failed ? kNoSolution : kSolved;
}

}  // namespace velhorn::cli
