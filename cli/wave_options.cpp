#include "cli/wave_options.h"

#include "bodies/shapes.h"
#include "cli/options.h"
#include "cli/wave_commands.h"
#include "press/records.h"

#include <fstream>
#include <iostream>
#include <stdexcept>

namespace velhorn::cli {

namespace {

using Usage = UsageError;

Range range(const std::string& option, const std::vector<std::string>& texts)
{
    if (texts.size() == 1) {
        const double v = number(option, texts[0]);
        return {v, v, 1};
    }
    if (texts.size() == 3)
        return {number(option, texts[0]), number(option, texts[1]), number(option, texts[2])};
    throw Usage(option + " takes one value, or FROM TO STEP");
}

template <typename T>
T shapeOrThrow(std::variant<T, std::string> made)
{
    if (auto* reason = std::get_if<std::string>(&made))
        throw Usage(*reason);
    return std::get<T>(made);
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file)
        throw Usage("cannot write " + path);
}

}  // namespace

WaveCommands::WaveCommands(CLI::App& app)
{
    shock_ = app.add_subcommand("shock", "an oblique shock from M1 and the deflection theta (weak, or --strong) or "
                                         "the shock angle beta; or a batch of them from CSV");
    shock_->add_option("--M1", M1_, "Mach number ahead of the shock, at least 1")->type_name("X");
    auto* theta = shock_->add_option("--theta", theta_, "deflection, degrees, 0 to theta_max")->type_name("DEG");
    auto* beta = shock_->add_option("--beta", beta_, "shock angle from the flow, degrees, mu1 to 90 (90: normal shock)")
                     ->type_name("DEG");
    theta->excludes(beta);
    shock_->add_flag("--strong", strong_, "the strong solution (beta above beta_max) instead of the weak");
    shock_->add_option("--batch", batch_, "cases from a CSV file (- for standard input) under a header of M1 and "
                                          "theta or beta, optionally gamma; one record a line")
        ->type_name("FILE");

    corners_ = app.add_subcommand("corners", "sharp corners in a row: a fan at each convex corner (theta > 0), an "
                                             "oblique shock at each concave one (theta < 0)");
    corners_->add_option("--M1", cornersM1_, "Mach number ahead of the first corner")->type_name("X")->required();
    corners_->add_option("--theta", turns_, "each corner's turn, degrees, positive convex (10,-5,8 or repeated)")
        ->type_name("DEG")
        ->delimiter(',')
        ->required();
    corners_->add_option("--compression", compression_, "shock (the default), or isentropic: a compression fan")
        ->type_name("KIND")
        ->check(CLI::IsMember({"shock", "isentropic"}));
    corners_->add_option("--svg", cornersSvg_, "also draw the wall and its waves into FILE")->type_name("FILE");

    body_ = app.add_subcommand("body", "a body by shock-expansion theory: each facet's flow, and lift, wave drag and "
                                       "pitching moment beside Ackeret's and Busemann's estimates");
    body_->add_option("--shape", shape_, "plate, wedge, diamond, biconvex or polygon")
        ->type_name("SHAPE")
        ->required()
        ->check(CLI::IsMember({"plate", "wedge", "diamond", "biconvex", "polygon"}));
    body_->add_option("--half-angle", halfAngle_, "a wedge's half-angle, degrees")->type_name("DEG");
    body_->add_option("--thickness", thickness_, "thickness over chord of a diamond or biconvex section")
        ->type_name("T");
    body_->add_option("--crest", crest_, "where a diamond is thickest, chords from the nose (0.5)")->type_name("X");
    body_->add_option("--facets", facets_, "straight facets a side of a biconvex section (10)")->type_name("N");
    body_->add_option("--points", points_, "a polygon's outline: a CSV file of x,y (- for standard input)")
        ->type_name("FILE");
    body_->add_option("--M", M_, "free-stream Mach number, or FROM TO STEP")->type_name("X")->expected(1, 3)->required();
    body_->add_option("--alpha", alpha_, "incidence of the chord, degrees, nose up positive; or FROM TO STEP")
        ->type_name("DEG")
        ->expected(1, 3)
        ->required();
    body_->add_flag("--per-facet", perFacet_, "one record a facet instead of one for the body");
    body_->add_option("--svg", bodySvg_, "also draw the body and its waves into FILE")->type_name("FILE");
}

std::optional<int> WaveCommands::run(const Settings& settings, Output& out)
{
    try {
        if (shock_->parsed()) {
            if (!batch_.empty()) {
                if (!M1_.empty() || !theta_.empty() || !beta_.empty())
                    throw Usage("shock --batch takes its cases from the file, not from --M1, --theta or --beta");
                return withInput(batch_, [&](std::istream& in) { return runShockBatch(settings, in, strong_, out); });
            }
            if (M1_.empty() || theta_.empty() == beta_.empty())
                throw Usage("shock: give --M1 and one of --theta and --beta, or --batch FILE");
            if (strong_ && !beta_.empty())
                throw Usage("shock: --strong chooses between the two shocks of a theta; a beta has one");
            const auto theta = theta_.empty() ? std::nullopt : std::optional(number("--theta", theta_));
            const auto beta = beta_.empty() ? std::nullopt : std::optional(number("--beta", beta_));
            return runShock(settings, number("--M1", M1_), theta, beta, strong_, out);
        }
        if (corners_->parsed()) {
            std::vector<double> turns;
            for (const auto& text : turns_)
                turns.push_back(number("--theta", text));
            std::string svg;
            const int status = runCorners(settings, number("--M1", cornersM1_), turns,
                                          compression_ == "isentropic" ? flow::Compression::Isentropic
                                                                       : flow::Compression::Shock,
                                          cornersSvg_.empty() ? nullptr : &svg, out);
            if (status == kSolved && !cornersSvg_.empty())
                writeFile(cornersSvg_, svg);
            return status;
        }
        if (body_->parsed()) {
            bodies::Shape shape;
            const auto need = [](const std::string& text, const char* what) {
                if (text.empty())
                    throw Usage(what);
                return text;
            };
            if (shape_ == "plate") {
                shape = bodies::flatPlate();
            } else if (shape_ == "wedge") {
                shape = shapeOrThrow(bodies::wedge(number("--half-angle", need(halfAngle_, "a wedge needs --half-angle"))));
            } else if (shape_ == "diamond") {
                shape = shapeOrThrow(bodies::diamond(number("--thickness", need(thickness_, "a diamond needs --thickness")),
                                                     number("--crest", crest_)));
            } else if (shape_ == "biconvex") {
                shape = shapeOrThrow(
                    bodies::biconvex(number("--thickness", need(thickness_, "a biconvex section needs --thickness")), facets_));
            } else {
                need(points_, "a polygon needs --points FILE");
                std::ifstream file;
                if (points_ != "-") {
                    file.open(points_);
                    if (!file)
                        throw Usage("cannot read " + points_);
                }
                auto outline = readPolygon(points_ == "-" ? std::cin : file);
                if (auto* reason = std::get_if<std::string>(&outline))
                    throw Usage(points_ + ": " + *reason);
                shape = shapeOrThrow(bodies::polygon(std::get<std::vector<bodies::Point>>(outline)));
            }
            std::string svg;
            const int status = runBody(settings, shape, range("--M", M_), range("--alpha", alpha_), perFacet_,
                                       bodySvg_.empty() ? nullptr : &svg, out);
            if (status == kSolved && !bodySvg_.empty())
                writeFile(bodySvg_, svg);
            return status;
        }
    } catch (const Usage& e) {
        complain(e.what());
        return kUsage;
    }
    return std::nullopt;
}

}  // namespace velhorn::cli
