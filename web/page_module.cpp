// The core as the page calls it: one press in, everything the page must show out, with every
// number already formatted, so the page shows the desktop's very texts.
#include "press/chart.h"
#include "press/press.h"
#include "press/records.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <optional>
#include <string>

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

val text(const std::optional<std::string>& s)
{
    return s ? val(*s) : val::null();
}

val points(std::initializer_list<press::ChartPoint> list)
{
    val out = val::array();
    for (const press::ChartPoint& p : list) {
        out.call<void>("push", p.x);
        out.call<void>("push", p.y);
    }
    return out;
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

    if (chosen)
        if (const auto found = press::fanOfPress(*chosen, typed, outcome))
            lastRecord() = press::PressRecord{press::fanValues(*found), time, *chosen};

    val out = val::object();
    out.set("redraw", outcome.redrawChart);
    val boxes = val::array();
    for (const auto& box : outcome.boxes)
        boxes.call<void>("push", text(box));
    out.set("boxes", boxes);
    out.set("output", outcome.output ? static_cast<int>(*outcome.output) : -1);
    val markers = val::array();
    for (const press::Marker& m : outcome.markers) {
        val marker = points({m.from, m.to});
        marker.set("red", m.colour == press::MarkerColour::Red);
        markers.call<void>("push", marker);
    }
    out.set("markers", markers);
    out.set("description", press::describeChart(outcome.states, separator));
    out.set("message", text(outcome.message));
    return out;
}

// The bare chart: the user rectangle, the two axes and the curve, each as x, y, x, y...
val bareChart()
{
    namespace chart = press::chart;
    val out = val::object();
    out.set("frame", points({chart::kUpperLeft, chart::kLowerRight}));
    val axes = val::array();
    axes.call<void>("push", points({chart::kOrigin, chart::kNuAxisTop}));
    axes.call<void>("push", points({chart::kOrigin, chart::kMachAxisEnd}));
    out.set("axes", axes);
    val curve = val::array();
    for (const press::ChartPoint& p : chart::curve(fan())) {
        curve.call<void>("push", p.x);
        curve.call<void>("push", p.y);
    }
    out.set("curve", curve);
    out.set("description", press::describeChart({}, "."));
    return out;
}

// The segment as far as it shows in the rectangle, or null when none of it does.
val clipSegment(double x0, double y0, double x1, double y1, double xMin, double xMax, double yMin, double yMax)
{
    if (!press::chart::clipSegment(x0, y0, x1, y1, xMin, xMax, yMin, yMax))
        return val::null();
    return points({{x0, y0}, {x1, y1}});
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
    emscripten::function("bareChart", &bareChart);
    emscripten::function("clipSegment", &clipSegment);
    emscripten::function("copyResults", &copyResults);
    emscripten::function("hasResult", +[] { return lastRecord().has_value(); });
}
