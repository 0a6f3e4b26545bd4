// The page's panels beyond the window: the gas, every quantity of a fan, chained corners, gas
// tables and bodies. Each answer comes from the functions velhorn-cli calls and is written by the
// same record code, so the page's CSV is the command line's byte for byte and every text shown is
// already formatted; the page's script only places it.
#include "bodies/body.h"
#include "bodies/drawing.h"
#include "bodies/records.h"
#include "bodies/shapes.h"
#include "flow/solve.h"
#include "press/records.h"
#include "press/table_range.h"
#include "text/box_text.h"
#include "text/fields.h"
#include "text/number_text.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace {

using emscripten::val;
using namespace velhorn;

// A table shows at most this many rows; its CSV has them all.
constexpr long long kShownRows = 2000;
// Longer tables or sweeps than this are refused: the page must stay responsive.
constexpr long long kMostRows = 100000;

// How people read a column's name: its symbol and its unit.
struct Heading {
    std::string_view symbol;
    std::string_view unit;
};

const std::map<std::string_view, Heading>& headings()
{
    static const std::map<std::string_view, Heading> table = {
        {"gamma", {"\u03b3", ""}},
        {"M1", {"M1", ""}},
        {"nu1_deg", {"\u03bd1", "\u00b0"}},
        {"mu1_deg", {"\u03bc1", "\u00b0"}},
        {"p1_p0", {"p1/p0", ""}},
        {"T1_T0", {"T1/T0", ""}},
        {"rho1_rho0", {"\u03c11/\u03c10", ""}},
        {"M2", {"M2", ""}},
        {"nu2_deg", {"\u03bd2", "\u00b0"}},
        {"mu2_deg", {"\u03bc2", "\u00b0"}},
        {"p2_p0", {"p2/p0", ""}},
        {"T2_T0", {"T2/T0", ""}},
        {"rho2_rho0", {"\u03c12/\u03c10", ""}},
        {"theta_deg", {"\u03b8", "\u00b0"}},
        {"p2_p1", {"p2/p1", ""}},
        {"T2_T1", {"T2/T1", ""}},
        {"rho2_rho1", {"\u03c12/\u03c11", ""}},
        {"forward_mach_line_deg", {"forward Mach line, \u03bc1", "\u00b0"}},
        {"rearward_mach_line_deg", {"rearward Mach line, \u03bc2 \u2212 \u03b8", "\u00b0"}},
        {"max_turn_deg", {"largest turn left, \u03bdmax \u2212 \u03bd1", "\u00b0"}},
        {"nu_max_deg", {"\u03bdmax", "\u00b0"}},
        {"from_state", {"from state", ""}},
        {"to_state", {"to state", ""}},
        {"M", {"M", ""}},
        {"nu_deg", {"\u03bd", "\u00b0"}},
        {"mu_deg", {"\u03bc", "\u00b0"}},
        {"p_p0", {"p/p0", ""}},
        {"T_T0", {"T/T0", ""}},
        {"rho_rho0", {"\u03c1/\u03c10", ""}},
        {"M_inf", {"M\u221e", ""}},
        {"alpha_deg", {"\u03b1", "\u00b0"}},
        {"cl", {"cl", ""}},
        {"cd", {"cd", ""}},
        {"cm_le", {"cm about the leading edge", ""}},
        {"cm_c4", {"cm about the quarter chord", ""}},
        {"l_d", {"L/D", ""}},
        {"x_cp", {"centre of pressure, x/c", ""}},
        {"cl_ackeret", {"cl, Ackeret", ""}},
        {"cd_ackeret", {"cd, Ackeret", ""}},
        {"cm_c4_ackeret", {"cm c/4, Ackeret", ""}},
        {"cl_busemann", {"cl, Busemann", ""}},
        {"cd_busemann", {"cd, Busemann", ""}},
        {"cm_c4_busemann", {"cm c/4, Busemann", ""}},
        {"facet", {"facet", ""}},
        {"surface", {"surface", ""}},
        {"wave", {"wave", ""}},
        {"x_from", {"x from", "c"}},
        {"y_from", {"y from", "c"}},
        {"x_to", {"x to", "c"}},
        {"y_to", {"y to", "c"}},
        {"deflection_deg", {"deflection", "\u00b0"}},
        {"beta_deg", {"shock angle \u03b2", "\u00b0"}},
        {"first_mach_line_deg", {"first Mach line", "\u00b0"}},
        {"last_mach_line_deg", {"last Mach line", "\u00b0"}},
        {"p_p_inf", {"p/p\u221e", ""}},
        {"Cp", {"Cp", ""}},
        {"T_T_inf", {"T/T\u221e", ""}},
        {"p0_p0_inf", {"p0/p0\u221e", ""}},
    };
    return table;
}

val heading(std::string_view column)
{
    val out = val::object();
    const auto found = headings().find(column);
    out.set("name", std::string(column));
    out.set("symbol", std::string(found != headings().end() ? found->second.symbol : column));
    out.set("unit", std::string(found != headings().end() ? found->second.unit : ""));
    return out;
}

val headings(std::span<const std::string_view> keys, std::span<const std::string_view> columns)
{
    val out = val::array();
    for (std::string_view k : keys)
        out.call<void>("push", heading(k));
    for (std::string_view c : columns)
        out.call<void>("push", heading(c));
    return out;
}

// 0 digits: the shortest text that reads back to the same double, as the command line's CSV.
std::string shown(double value, int digits)
{
    if (std::isnan(value))
        return "\u2013";  // a quantity that does not exist here, such as L/D without drag
    return digits <= 0 ? text::shortestNumber(value) : text::roundedNumber(value, std::min(digits, 17));
}

// What every panel answers: the columns, the rows as texts, the CSV, or why there is none.
struct Answer {
    val out = val::object();
    val rows = val::array();
    std::string csv;
    long long count = 0;
    int digits = 0;
    long long shownRows = kShownRows;

    Answer(std::span<const std::string_view> keys, std::span<const std::string_view> labels,
           std::span<const std::string_view> columns, int shownDigits, long long rowsShown = kShownRows)
        : digits(shownDigits), shownRows(rowsShown)
    {
        std::vector<std::string_view> names(keys.begin(), keys.end());
        names.insert(names.end(), labels.begin(), labels.end());
        out.set("columns", headings(names, columns));
        names.insert(names.end(), columns.begin(), columns.end());
        text::appendNames(csv, names, ',');
    }
    void add(std::span<const long long> keys, std::span<const std::string_view> labels, std::span<const double> values)
    {
        // The CSV line as velhorn-cli's record writer makes it.
        for (long long k : keys)
            csv += std::to_string(k) + ',';
        for (std::string_view l : labels) {
            csv += l;
            csv += ',';
        }
        text::appendValues(csv, values, ',');
        if (count++ >= shownRows)
            return;
        val row = val::array();
        for (long long k : keys)
            row.call<void>("push", std::to_string(k));
        for (std::string_view l : labels)
            row.call<void>("push", std::string(l));
        for (double v : values)
            row.call<void>("push", shown(v, digits));
        rows.call<void>("push", row);
    }
    val done()
    {
        out.set("rows", rows);
        out.set("csv", csv);
        out.set("count", static_cast<double>(count));
        out.set("more", count > shownRows ? val(std::to_string(count - shownRows)) : val::null());
        out.set("message", val::null());
        return out;
    }
};

val refusal(const std::string& why)
{
    val out = val::object();
    out.set("message", why);
    return out;
}

// The gas the panels use: a name velhorn-cli knows, or any gamma above 1.
std::variant<flow::Gas, std::string> gasOf(const std::string& choice)
{
    if (const flow::GasPreset* preset = flow::findGasPreset(choice))
        return flow::Gas(preset->gamma);
    const auto gamma = text::readNumber(choice);
    if (!gamma)
        return "\u03b3 = \u201c" + choice + "\u201d is not a number";
    // The page is built without exception catching, where Gas's refusal would abort the core
    // instead: Gas's own test comes first, with its words.
    if (!std::isfinite(*gamma) || !(*gamma > 1))
        return "\u03b3 = " + choice + ": gamma must be a finite number above 1";
    return flow::Gas(*gamma);
}

val gases()
{
    val out = val::array();
    for (const flow::GasPreset& p : flow::gasPresets()) {
        val g = val::object();
        g.set("name", std::string(p.name));
        g.set("gamma", text::shortestNumber(p.gamma));
        g.set("source", std::string(p.source));
        out.call<void>("push", g);
    }
    return out;
}

// A gas's gamma as the page shows it beside the choice.
val gasGamma(const std::string& choice)
{
    const auto gas = gasOf(choice);
    if (const auto* why = std::get_if<std::string>(&gas))
        return refusal(*why);
    val out = val::object();
    out.set("gamma", text::shortestNumber(std::get<flow::Gas>(gas).gamma()));
    out.set("message", val::null());
    return out;
}

// Every quantity of the fan for the window's last press: the two quantities it was given, read
// as the window reads them, solved exactly for the chosen gas. mode as the press takes it.
val fanPanel(const std::string& gasChoice, int mode, const std::u16string& M1, const std::u16string& Teta,
             const std::u16string& M2, int digits)
{
    const auto gas = gasOf(gasChoice);
    if (const auto* why = std::get_if<std::string>(&gas))
        return refusal(*why);
    using flow::By;
    using flow::Given;
    if (mode < 0 || mode > 2)
        return refusal("Choose an output option and press the button");
    const double m1 = text::parseNumber(M1), teta = text::parseNumber(Teta), m2 = text::parseNumber(M2);
    const flow::Gas& g = std::get<flow::Gas>(gas);
    const auto solved = mode == 1   ? flow::solveFan(g, Given{By::Mach, m1}, Given{By::Mach, m2}, std::nullopt)
                        : mode == 2 ? flow::solveFan(g, Given{By::Mach, m1}, std::nullopt, teta)
                                    : flow::solveFan(g, std::nullopt, Given{By::Mach, m2}, teta);
    if (const auto* problem = std::get_if<flow::Problem>(&solved))
        return refusal(press::problemText(*problem, 6));
    Answer answer({}, {}, press::kFanColumns, digits);
    answer.add({}, {}, press::fanValues(std::get<flow::Fan>(solved)));
    return answer.done();
}

// The same fan from numbers given as velhorn-cli takes them: `solve --M1 A --theta B`.
val solvePanel(const std::string& gasChoice, const std::string& M1, const std::string& theta, int digits)
{
    const auto gas = gasOf(gasChoice);
    if (const auto* why = std::get_if<std::string>(&gas))
        return refusal(*why);
    const auto m = text::readNumber(M1), t = text::readNumber(theta);
    if (!m || !t)
        return refusal("M1 and \u03b8 must be numbers, with a point");
    const auto solved = flow::solveFan(std::get<flow::Gas>(gas), flow::Given{flow::By::Mach, *m}, std::nullopt, *t);
    if (const auto* problem = std::get_if<flow::Problem>(&solved))
        return refusal(press::problemText(*problem, 6));
    Answer answer({}, {}, press::kFanColumns, digits);
    answer.add({}, {}, press::fanValues(std::get<flow::Fan>(solved)));
    return answer.done();
}

// Turning angles typed as a list: numbers between commas, semicolons or spaces.
std::variant<std::vector<double>, std::string> angleList(const std::string& text)
{
    std::vector<double> out;
    std::string word;
    const auto flush = [&]() -> std::optional<std::string> {
        if (word.empty())
            return std::nullopt;
        const auto v = text::readNumber(word);
        if (!v)
            return "\u201c" + word + "\u201d is not a number";
        out.push_back(*v);
        word.clear();
        return std::nullopt;
    };
    for (char c : text) {
        if (c == ',' || c == ';' || c == ' ' || c == '\t' || c == '\n') {
            if (auto why = flush())
                return *why;
        } else {
            word += c;
        }
    }
    if (auto why = flush())
        return *why;
    if (out.empty())
        return std::string("type one turning angle or more, such as 5, 10, 15");
    if (out.size() > 1000)
        return std::string("at most 1000 corners");
    return out;
}

// Corners turned one after another: `solve --M1 A --theta B --theta C ...`, each fan, then the
// whole chain as one.
val chainPanel(const std::string& gasChoice, const std::string& M1, const std::string& thetas, int digits)
{
    const auto gas = gasOf(gasChoice);
    if (const auto* why = std::get_if<std::string>(&gas))
        return refusal(*why);
    const auto m = text::readNumber(M1);
    if (!m)
        return refusal("M1 must be a number, with a point");
    const auto angles = angleList(thetas);
    if (const auto* why = std::get_if<std::string>(&angles))
        return refusal(*why);
    const auto& list = std::get<std::vector<double>>(angles);
    const auto chain = flow::solveChain(std::get<flow::Gas>(gas), flow::Given{flow::By::Mach, *m}, list);
    if (const auto* problem = std::get_if<flow::Problem>(&chain))
        return refusal(press::problemText(*problem, 6));
    const auto& fans = std::get<std::vector<flow::Fan>>(chain);
    constexpr std::string_view keys[] = {"from_state", "to_state"};
    Answer answer(keys, {}, press::kFanColumns, digits);
    // With one corner velhorn-cli writes a lone fan, without the state keys.
    if (list.size() == 1) {
        Answer lone({}, {}, press::kFanColumns, digits);
        lone.add({}, {}, press::fanValues(fans.front()));
        return lone.done();
    }
    for (std::size_t i = 0; i < fans.size(); ++i) {
        const bool overall = i + 1 == fans.size();
        const long long k[] = {overall ? 1 : static_cast<long long>(i) + 1,
                               overall ? static_cast<long long>(i) + 1 : static_cast<long long>(i) + 2};
        answer.add(k, {}, press::fanValues(fans[i]));
    }
    return answer.done();
}

// A gas table: `table --M FROM TO STEP` (by 0) or `table --nu FROM TO STEP` (by 1).
val tablePanel(const std::string& gasChoice, int by, const std::string& from, const std::string& to,
               const std::string& step, int digits)
{
    const auto gas = gasOf(gasChoice);
    if (const auto* why = std::get_if<std::string>(&gas))
        return refusal(*why);
    const auto f = text::readNumber(from), t = text::readNumber(to), s = text::readNumber(step);
    if (!f || !t || !s)
        return refusal("from, to and step must be numbers, with a point");
    const auto range = press::tableRange(*f, *t, *s);
    if (!range)
        return refusal(std::string(press::kTableRangeRule));
    if (range->count > kMostRows)
        return refusal("the page makes tables of at most " + std::to_string(kMostRows) +
                       " rows; velhorn-cli table makes longer ones");
    const flow::Gas& g = std::get<flow::Gas>(gas);
    const flow::By kind = by == 1 ? flow::By::Nu : flow::By::Mach;
    Answer answer({}, {}, press::kStateColumns, digits);
    for (long long i = 0; i < range->count; ++i) {
        const auto state = flow::tableState(g, flow::Given{kind, range->at(i)});
        if (const auto* problem = std::get_if<flow::Problem>(&state))
            return refusal(press::problemText(*problem, 6));
        answer.add({}, {}, press::stateValues(std::get<flow::State>(state)));
    }
    return answer.done();
}

// shape: plate, wedge (size: half-angle), diamond (size: thickness, crest), biconvex (size:
// thickness, facets), as velhorn-cli body --shape takes them.
std::variant<bodies::Shape, std::string> shapeOf(const std::string& shape, const std::string& size,
                                                 const std::string& crest, int facets)
{
    if (shape == "plate")
        return bodies::flatPlate();
    const auto s = text::readNumber(size);
    if (!s)
        return std::string(shape == "wedge" ? "the half-angle" : "the thickness") + " must be a number, with a point";
    bodies::ShapeOrReason made;
    if (shape == "wedge") {
        made = bodies::wedge(*s);
    } else if (shape == "diamond") {
        const auto c = text::readNumber(crest);
        if (!c)
            return std::string("the crest must be a number, with a point");
        made = bodies::diamond(*s, *c);
    } else if (shape == "biconvex") {
        made = bodies::biconvex(*s, facets);
    } else {
        return "no shape called " + shape;
    }
    if (const auto* why = std::get_if<std::string>(&made))
        return *why;
    return std::get<bodies::Shape>(made);
}

// The gas and the shape a body panel is given, or why either cannot be had.
std::variant<std::pair<flow::Gas, bodies::Shape>, std::string> bodyOf(const std::string& gasChoice,
                                                                       const std::string& shape, const std::string& size,
                                                                       const std::string& crest, int facets)
{
    const auto gas = gasOf(gasChoice);
    if (const auto* why = std::get_if<std::string>(&gas))
        return *why;
    auto made = shapeOf(shape, size, crest, facets);
    if (const auto* why = std::get_if<std::string>(&made))
        return *why;
    return std::pair{std::get<flow::Gas>(gas), std::move(std::get<bodies::Shape>(made))};
}

std::string_view strokeKind(bodies::Stroke::Kind kind)
{
    switch (kind) {
    case bodies::Stroke::Kind::Outline: return "outline";
    case bodies::Stroke::Kind::Shock: return "shock";
    case bodies::Stroke::Kind::FanEdge: return "fan";
    case bodies::Stroke::Kind::MachLine: return "mach";
    case bodies::Stroke::Kind::FreeStream: return "stream";
    }
    return "outline";
}

val drawingOf(const bodies::Drawing& d)
{
    val out = val::object();
    val frame = val::array();
    for (double v : {d.low.x, d.low.y, d.high.x, d.high.y})
        frame.call<void>("push", v);
    out.set("frame", frame);
    val outline = val::array();
    for (const bodies::Point& p : d.outline) {
        outline.call<void>("push", p.x);
        outline.call<void>("push", p.y);
    }
    out.set("outline", outline);
    val strokes = val::array();
    for (const bodies::Stroke& s : d.strokes) {
        val stroke = val::array();
        stroke.call<void>("push", std::string(strokeKind(s.kind)));
        for (double v : {s.from.x, s.from.y, s.to.x, s.to.y})
            stroke.call<void>("push", v);
        strokes.call<void>("push", stroke);
    }
    out.set("strokes", strokes);
    // Labels as the SVG writes them.
    val labels = val::array();
    for (const bodies::Label& l : d.labels) {
        val label = val::array();
        label.call<void>("push", l.at.x);
        label.call<void>("push", l.at.y);
        label.call<void>("push", "M " + text::roundedNumber(l.M, 3));
        label.call<void>("push", "p/p\u221e " + text::roundedNumber(l.pRatio, 3));
        labels.call<void>("push", label);
    }
    out.set("labels", labels);
    out.set("title", d.title);
    return out;
}

// One body at one M and alpha: its forces, its facets and its drawing.
val bodyPanel(const std::string& gasChoice, const std::string& shape, const std::string& size, const std::string& crest,
              int facets, const std::string& M, const std::string& alpha, int digits)
{
    const auto chosen = bodyOf(gasChoice, shape, size, crest, facets);
    if (const auto* why = std::get_if<std::string>(&chosen))
        return refusal(*why);
    const auto& [g, body] = std::get<std::pair<flow::Gas, bodies::Shape>>(chosen);
    const auto m = text::readNumber(M), a = text::readNumber(alpha);
    if (!m || !a)
        return refusal("M\u221e and \u03b1 must be numbers, with a point");
    const auto solved = bodies::solveBody(g, body, *m, *a);
    if (const auto* problem = std::get_if<bodies::BodyProblem>(&solved))
        return refusal(bodies::bodyProblemText(*problem, 6));
    const auto& flow = std::get<bodies::BodyFlow>(solved);
    Answer forces({}, {}, bodies::kBodyColumns, digits);
    forces.add({}, {}, bodies::bodyValues(flow));
    Answer facetTable(bodies::kFacetKeys, bodies::kFacetLabels, bodies::kFacetColumns, digits);
    for (const bodies::Facet& f : flow.facets) {
        const long long k[] = {static_cast<long long>(f.index)};
        const std::string_view l[] = {bodies::surfaceName(f.surface), bodies::waveName(f.wave)};
        facetTable.add(k, l, bodies::facetValues(f));
    }
    const bodies::Drawing drawing = bodies::drawBody(g, body, flow);
    val out = val::object();
    out.set("forces", forces.done());
    out.set("facets", facetTable.done());
    out.set("drawing", drawingOf(drawing));
    out.set("svg", bodies::svg(drawing));
    out.set("message", val::null());
    return out;
}

// Nice round steps for a plot's axis: 1, 2 or 5 times a power of ten, about five of them.
std::vector<double> ticks(double low, double high)
{
    std::vector<double> out;
    if (!(high > low))
        return {low};
    const double rough = (high - low) / 5;
    const double power = std::pow(10, std::floor(std::log10(rough)));
    const double step = rough / power < 1.5 ? power : rough / power < 3.5 ? 2 * power : rough / power < 7.5 ? 5 * power
                                                                                                           : 10 * power;
    for (double k = std::ceil(low / step); k * step <= high * (1 + 1e-12) && out.size() < 20; ++k)
        out.push_back(k * step == 0 ? 0 : k * step);
    return out;
}

// A sweep of alpha (over 0) or of M (over 1) with the other held: the forces at each value, and
// the plot of cl, cd and L/D against it as polylines in its own frame, with its tick texts.
val sweepPanel(const std::string& gasChoice, const std::string& shape, const std::string& size, const std::string& crest,
               int facets, int over, const std::string& from, const std::string& to, const std::string& step,
               const std::string& held, int digits)
{
    const auto chosen = bodyOf(gasChoice, shape, size, crest, facets);
    if (const auto* why = std::get_if<std::string>(&chosen))
        return refusal(*why);
    const auto& [g, body] = std::get<std::pair<flow::Gas, bodies::Shape>>(chosen);
    const auto f = text::readNumber(from), t = text::readNumber(to), s = text::readNumber(step), h = text::readNumber(held);
    if (!f || !t || !s || !h)
        return refusal("from, to, step and the value held must be numbers, with a point");
    const auto values = bodies::sweep(*f, *t, *s);
    if (!values)
        return refusal("a sweep needs FROM <= TO and a STEP above 0 that gives at most a million values");
    if (values->count > kMostRows)
        return refusal("the page sweeps at most " + std::to_string(kMostRows) + " values; velhorn-cli body sweeps more");
    Answer answer({}, {}, bodies::kBodyColumns, digits, 0);  // plotted and downloaded, not tabled
    std::vector<double> xs, cl, cd, ld;
    std::vector<std::string> problems;
    for (long long i = 0; i < values->count; ++i) {
        const double x = values->at(i);
        const auto solved = over == 0 ? bodies::solveBody(g, body, *h, x) : bodies::solveBody(g, body, x, *h);
        if (const auto* problem = std::get_if<bodies::BodyProblem>(&solved)) {
            if (problems.size() < 3)
                problems.push_back(bodies::bodyProblemText(*problem, 6));
            continue;
        }
        const auto& b = std::get<bodies::BodyFlow>(solved);
        answer.add({}, {}, bodies::bodyValues(b));
        xs.push_back(x);
        cl.push_back(b.exact.cl);
        cd.push_back(b.exact.cd);
        ld.push_back(b.exact.liftToDrag);
    }
    val out = answer.done();
    val why = val::array();
    for (const std::string& p : problems)
        why.call<void>("push", p);
    out.set("problems", why);
    if (xs.empty())
        return out;
    // The plot: cl and cd share the left axis, L/D has the right one.
    const auto range = [](const std::vector<double>& a, const std::vector<double>& b) {
        double lo = 0, hi = 0;  // zero always shows
        for (const auto* v : {&a, &b})
            for (double x : *v)
                if (std::isfinite(x)) {
                    lo = std::min(lo, x);
                    hi = std::max(hi, x);
                }
        if (hi == lo)
            hi = lo + 1;
        return std::pair{lo, hi};
    };
    const auto [cLow, cHigh] = range(cl, cd);
    const auto [rLow, rHigh] = range(ld, ld);
    const double xLow = xs.front(), xHigh = xs.size() > 1 ? xs.back() : xs.front() + 1;
    // Every curve in the plot's unit square: x across, y up.
    const auto line = [&](const std::vector<double>& v, double lo, double hi) {
        val points = val::array();
        for (std::size_t i = 0; i < xs.size(); ++i) {
            points.call<void>("push", (xs[i] - xLow) / (xHigh - xLow));
            points.call<void>("push", std::isfinite(v[i]) ? (v[i] - lo) / (hi - lo) : NAN);
        }
        return points;
    };
    val plot = val::object();
    plot.set("cl", line(cl, cLow, cHigh));
    plot.set("cd", line(cd, cLow, cHigh));
    plot.set("ld", line(ld, rLow, rHigh));
    const auto axis = [](const std::vector<double>& at, double lo, double hi) {
        val out = val::array();
        for (double v : at) {
            val tick = val::array();
            tick.call<void>("push", (v - lo) / (hi - lo));
            tick.call<void>("push", text::roundedNumber(v, 4));
            out.call<void>("push", tick);
        }
        return out;
    };
    plot.set("x", axis(ticks(xLow, xHigh), xLow, xHigh));
    plot.set("left", axis(ticks(cLow, cHigh), cLow, cHigh));
    plot.set("right", axis(ticks(rLow, rHigh), rLow, rHigh));
    plot.set("xName", std::string(over == 0 ? "\u03b1 (\u00b0)" : "M\u221e"));
    out.set("plot", plot);
    return out;
}

}  // namespace

EMSCRIPTEN_BINDINGS(velhorn_panels)
{
    emscripten::function("gases", &gases);
    emscripten::function("gasGamma", &gasGamma);
    emscripten::function("fanPanel", &fanPanel);
    emscripten::function("solvePanel", &solvePanel);
    emscripten::function("chainPanel", &chainPanel);
    emscripten::function("tablePanel", &tablePanel);
    emscripten::function("bodyPanel", &bodyPanel);
    emscripten::function("sweepPanel", &sweepPanel);
}
