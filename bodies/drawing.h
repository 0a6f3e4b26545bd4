#pragma once

#include "bodies/body.h"
#include "flow/corners.h"

#include <string>
#include <vector>

// The waves of a body or of a row of corners as strokes in the plane of the flow (chords, y up;
// a body with its nose at the origin and the free stream along x):
// what the command line writes as SVG and the page will draw on its canvas. Waves run as
// straight lines from their corners to the edge of the frame; where they would meet and bend
// each other, shock-expansion theory does not follow them, and neither does the drawing.
namespace velhorn::bodies {

struct Stroke {
    enum class Kind { Outline, Shock, FanEdge, MachLine, FreeStream };
    Kind kind = Kind::Outline;
    Point from, to;
};

// A region's label: its Mach number and pressure ratio, placed inside it.
struct Label {
    Point at;
    double M = 1;
    double pRatio = 1;  // to the free stream's, or to the first region's for corners
};

struct Drawing {
    Point low, high;  // the frame
    std::vector<Point> outline;  // a body's, to fill; empty for corners
    std::vector<Stroke> strokes;
    std::vector<Label> labels;
    std::string title;  // one line saying what is drawn
};

[[nodiscard]] Drawing drawBody(const flow::Gas& gas, const Shape& shape, const BodyFlow& body);
// A wall one unit long a corner, turned at each corner; the flow runs above it from the left.
[[nodiscard]] Drawing drawCorners(const flow::Gas& gas, double M1, const flow::CornerFlow& corners);

// The drawing as a standalone SVG document, `width` pixels wide.
[[nodiscard]] std::string svg(const Drawing& drawing, int width = 900);

}  // namespace velhorn::bodies
