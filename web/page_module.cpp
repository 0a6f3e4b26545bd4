// The core as the page calls it: one press or option choice in, everything the page must show
// out, with every number already formatted and every stroke already on device pixels, so the
// page shows the desktop's very texts and pixels.
#include "press/press.h"
#include "press/records.h"
#include "window/chart.h"
#include "window/option_choice.h"
#include "window/pixels.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using emscripten::val;
using namespace velhorn;

const flow::ExpansionFan& fan()
{
    static const flow::ExpansionFan airFan;
    return airFan;
}

// The last result, for "Copy results".
std::optional<press::PressRecord>& lastRecord()
{
    static std::optional<press::PressRecord> record;
    return record;
}

// The chart as drawn since it was last cleared, as the desktop's chart keeps it: in single
// precision, with the user rectangle of the drawing area. Empty until first drawn.
struct Drawing {
    std::vector<window::chart::Stroke> strokes;
    press::ChartPoint upperLeft;
    press::ChartPoint lowerRight;
    bool scaled = false;
};

Drawing& drawing()
{
    static Drawing d;
    return d;
}

press::ChartPoint single(press::ChartPoint p)
{
    return {window::chart::single(p.x), window::chart::single(p.y)};
}

void keep(window::chart::Stroke stroke)
{
    stroke.from = single(stroke.from);
    stroke.to = single(stroke.to);
    drawing().strokes.push_back(stroke);
}

// Clears the chart to its bare strokes; what the chart then says to a screen reader.
std::string grafik()
{
    Drawing& d = drawing();
    d.upperLeft = single(window::chart::kUpperLeft);
    d.lowerRight = single(window::chart::kLowerRight);
    d.scaled = true;
    d.strokes.clear();
    for (const window::chart::Stroke& stroke : window::chart::bareChart(fan()))
        keep(stroke);
    return press::describeChart({}, ".");
}

val text(const std::optional<std::string>& s)
{
    return s ? val(*s) : val::null();
}

// mode: 0 M1, 1 Teta, 2 M2, anything else none chosen. `time` is when the press was made, as
// ISO 8601 UTC, kept with its result for copying.
val pressButton(int mode, const std::u16string& M1, const std::u16string& Teta, const std::u16string& M2,
                const std::string& separator, const std::string& time)
{
    std::optional<press::Mode> chosen;
    if (mode >= 0 && mode <= 2)
        chosen = static_cast<press::Mode>(mode);
    const press::Typed typed{M1, Teta, M2};
    const press::Outcome outcome = press::press(fan(), chosen, typed, separator);

    if (auto record = press::recordOfPress(chosen, typed, outcome, time))
        lastRecord() = std::move(record);

    val out = val::object();
    out.set("redraw", outcome.redrawChart);
    val boxes = val::array();
    for (const auto& box : outcome.boxes)
        boxes.call<void>("push", text(box));
    out.set("boxes", boxes);
    out.set("output", outcome.output ? static_cast<int>(*outcome.output) : -1);
    if (outcome.redrawChart)
        grafik();
    for (const press::Marker& m : outcome.markers)
        keep(window::chart::markerStroke(m));
    out.set("description", press::describeChart(outcome.states, separator));
    out.set("message", text(outcome.message));
    return out;
}

// The chart on a canvas of `width` x `height` device pixels at `ratio` device pixels a CSS
// pixel: the pen's width and each stroke that shows as kind (0 point, 1 segment), x0, y0, x1, y1
// in device pixels and ink (0 plain, 1 red, 2 blue).
val chartStrokes(double width, double height, double ratio)
{
    const Drawing& d = drawing();
    val out = val::object();
    out.set("pen", window::chart::penWidth(ratio));
    val strokes = val::array();
    if (d.scaled) {
        const window::chart::Surface surface{d.upperLeft.x, d.upperLeft.y, d.lowerRight.x, d.lowerRight.y,
                                             width / ratio, height / ratio, ratio};
        for (const window::chart::Stroke& stroke : d.strokes) {
            const auto placed = window::chart::place(surface, stroke);
            if (!placed)
                continue;
            strokes.call<void>("push", stroke.kind == window::chart::Stroke::Kind::Point ? 0 : 1);
            for (const press::ChartPoint& p : *placed) {
                strokes.call<void>("push", p.x);
                strokes.call<void>("push", p.y);
            }
            strokes.call<void>("push", static_cast<int>(stroke.ink));
        }
    }
    out.set("strokes", strokes);
    return out;
}

// Choosing an output option: which box hides, which go white and which empty, the button's
// caption. The last result is forgotten, so Copy results has nothing until the next result.
val chooseOption(int mode)
{
    const window::OptionChoice choice = window::choose(static_cast<press::Mode>(std::clamp(mode, 0, 2)));
    if (choice.kForgetsResult)
        lastRecord().reset();
    const auto indices = [](const auto& boxes) {
        val out = val::array();
        for (press::Box b : boxes)
            out.call<void>("push", static_cast<int>(b));
        return out;
    };
    val out = val::object();
    out.set("hidden", static_cast<int>(choice.hidden));
    out.set("whitened", indices(choice.kWhitened));
    out.set("emptied", indices(choice.kEmptied));
    out.set("caption", std::string(choice.kCaption));
    return out;
}

// The last result as a spreadsheet and a word processor paste it, or null before any.
val copyResults()
{
    if (!lastRecord())
        return val::null();
    val out = val::object();
    out.set("text", press::recordHeader('\t') + press::recordLine(*lastRecord(), '\t'));
    out.set("html", press::recordTable({&*lastRecord(), 1}));
    return out;
}

}  // namespace

EMSCRIPTEN_BINDINGS(velhorn)
{
    emscripten::function("press", &pressButton);
    emscripten::function("grafik", &grafik);
    emscripten::function("chartStrokes", &chartStrokes);
    emscripten::function("chooseOption", &chooseOption);
    emscripten::function("copyResults", &copyResults);
    emscripten::function("hasResult", +[] { return lastRecord().has_value(); });
}
