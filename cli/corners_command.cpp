#include "bodies/drawing.h"
#include "bodies/records.h"
#include "cli/wave_commands.h"

namespace velhorn::cli {

int runCorners(const Settings& settings, double M1, const std::vector<double>& turns, flow::Compression compression,
               std::string* svg, Output& out)
{
    const auto solved = flow::solveCorners(settings.gas, M1, turns, compression);
    if (const auto* p = std::get_if<flow::CornerProblem>(&solved)) {
        complain(bodies::cornerProblemText(*p, settings.digits));
        return kNoSolution;
    }
    const auto& corners = std::get<flow::CornerFlow>(solved);
    RecordWriter writer(out, settings.format, settings.digits, {bodies::kCornerKeys.begin(), bodies::kCornerKeys.end()},
                        {bodies::kWaveLabel}, bodies::kCornerColumns);
    for (std::size_t i = 0; i < corners.waves.size(); ++i) {
        const long long keys[] = {static_cast<long long>(i) + 1, static_cast<long long>(i) + 2};
        const std::string_view label[] = {bodies::waveName(corners.waves[i].kind)};
        writer.write(keys, label, bodies::cornerValues(corners, i));
    }
    if (corners.waves.size() > 1) {
        const long long keys[] = {1, static_cast<long long>(corners.regions.size())};
        const std::string_view label[] = {"overall"};
        writer.write(keys, label, bodies::cornerOverallValues(corners));
    }
    writer.finish();
    if (svg)
        *svg = bodies::svg(bodies::drawCorners(settings.gas, M1, corners));
    return kSolved;
}

}  // namespace velhorn::cli
