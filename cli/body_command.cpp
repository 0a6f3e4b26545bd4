#include "bodies/drawing.h"
#include "bodies/records.h"
#include "cli/batch.h"
#include "cli/wave_commands.h"
#include "press/records.h"
#include "text/number_text.h"

#include <istream>

namespace velhorn::cli {

int runBody(const Settings& settings, const bodies::Shape& shape, Range M, Range alpha, bool perFacet, std::string* svg,
            Output& out)
{
    const auto Ms = bodies::sweep(M.from, M.to, M.step);
    const auto alphas = bodies::sweep(alpha.from, alpha.to, alpha.step);
    if (!Ms || !alphas) {
        complain("a sweep needs FROM <= TO and a STEP above 0 that gives at most a million values");
        return kUsage;
    }
    if (Ms->count > 1 && alphas->count > 1) {
        complain("sweep either --M or --alpha, not both");
        return kUsage;
    }
    if (svg && (Ms->count > 1 || alphas->count > 1)) {
        complain("--svg draws one body: give one --M and one --alpha");
        return kUsage;
    }
    std::optional<RecordWriter> writer;
    if (perFacet)
        writer.emplace(out, settings.format, settings.digits,
                       std::vector<std::string_view>{bodies::kFacetKeys.begin(), bodies::kFacetKeys.end()},
                       std::vector<std::string_view>{bodies::kFacetLabels.begin(), bodies::kFacetLabels.end()},
                       bodies::kFacetColumns);
    else
        writer.emplace(out, settings.format, settings.digits, std::vector<std::string_view>{}, bodies::kBodyColumns);
    bool failed = false;
    const long long count = std::max(Ms->count, alphas->count);
    for (long long i = 0; i < count; ++i) {
        const double m = Ms->at(std::min(i, Ms->count - 1));
        const double a = alphas->at(std::min(i, alphas->count - 1));
        const auto solved = bodies::solveBody(settings.gas, shape, m, a);
        if (const auto* p = std::get_if<bodies::BodyProblem>(&solved)) {
            complain(bodies::bodyProblemText(*p, settings.digits));
            failed = true;
            continue;
        }
        const auto& body = std::get<bodies::BodyFlow>(solved);
        if (perFacet) {
            for (const auto& facet : body.facets) {
                const long long keys[] = {static_cast<long long>(facet.index)};
                const std::string_view labels[] = {bodies::surfaceName(facet.surface), bodies::waveName(facet.wave)};
                writer->write(keys, labels, bodies::facetValues(facet));
            }
        } else {
            writer->write({}, bodies::bodyValues(body));
        }
        if (svg)
            *svg = bodies::svg(bodies::drawBody(settings.gas, shape, body));
    }
    writer->finish();
    return failed ? kNoSolution : kSolved;
}

std::variant<std::vector<bodies::Point>, std::string> readPolygon(std::istream& in)
{
    std::vector<bodies::Point> points;
    std::string line;
    long long number = 0;
    bool header = false;
    while (std::getline(in, line)) {
        ++number;
        if (isBlankOrComment(line))
            continue;
        std::vector<std::string_view> fields;
        text::splitFields(line, ',', [&](std::string_view field) { fields.push_back(field); });
        if (!header && points.empty() && fields.size() == 2 && fields[0] == "x" && fields[1] == "y") {
            header = true;
            continue;
        }
        if (fields.size() != 2)
            return "line " + std::to_string(number) + ": expected x,y, found " + std::to_string(fields.size()) + " fields";
        const auto x = text::readNumber(fields[0]);
        const auto y = text::readNumber(fields[1]);
        if (!x || !y)
            return "line " + std::to_string(number) + ": " + quotedField(!x ? fields[0] : fields[1]) + " is not a number";
        points.push_back({*x, *y});
    }
    return points;
}

}  // namespace velhorn::cli
