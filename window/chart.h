#pragma once

#include "flow/expansion_fan.h"
#include "press/press.h"

#include <array>
#include <optional>
#include <vector>

// The bare nu(M) chart as strokes in user coordinates (x = M, y = -nu in degrees, so a larger
// nu is drawn higher): two plain axes and a red curve from M = 1 to 5. Every front end draws
// these same strokes, and a press's markers over them.
namespace velhorn::window::chart {

using press::ChartPoint;

inline constexpr ChartPoint kUpperLeft{0.5, -80.0};
inline constexpr ChartPoint kLowerRight{5.5, 5.0};
inline constexpr ChartPoint kOrigin{1.0, 0.0};  // M = 1, nu = 0: where the axes meet
inline constexpr ChartPoint kNuAxisTop{1.0, -75.0};
inline constexpr ChartPoint kMachAxisEnd{5.0, 0.0};
inline constexpr int kFirstTenth = 11;  // the curve's vertices after the origin, at M = i / 10
inline constexpr int kLastTenth = 50;
inline constexpr std::size_t kCurveVertices = kLastTenth - kFirstTenth + 2;

// The curve's vertices, from the origin to M = 5.
[[nodiscard]] std::array<ChartPoint, kCurveVertices> curve(const flow::ExpansionFan& fan);

// What a stroke is drawn in: the chart's ink (black, or light on a dark page), or a marker's colour.
enum class Ink { Plain, Red, Blue };

// A stroke as every front end draws it: a point, or a segment from `from` to `to`.
struct Stroke {
    enum class Kind { Point, Segment } kind;
    ChartPoint from;
    ChartPoint to;
    Ink ink;
    friend bool operator==(const Stroke&, const Stroke&) = default;
};

// The bare chart in drawing order: the two axes, a point at the origin, then the curve in red.
[[nodiscard]] std::vector<Stroke> bareChart(const flow::ExpansionFan& fan);
// A press's marker as a stroke.
[[nodiscard]] Stroke markerStroke(const press::Marker& marker);

// Drawing takes single precision: a value beyond float's range becomes an infinity of its sign
// (a plain cast would be undefined), which the clipper then pulls in like any far point.
[[nodiscard]] float single(double value);

// Where the chart lands on a screen: the user coordinates of the drawing area's corners, the
// area's size in logical pixels and the device pixels to a logical one.
struct Surface {
    double left = 0, top = 0, right = 1, bottom = 1;
    double width = 1, height = 1;
    double ratio = 1;
};

// Lines are a whole number of device pixels wide and centred so that they cover whole pixels:
// at a fractional scale a one-logical-pixel pen would fall on one or two device pixels by chance.
[[nodiscard]] int penWidth(double ratio);
// A point of the chart in logical pixels of the drawing area.
[[nodiscard]] ChartPoint toLogical(const Surface& surface, double x, double y);
// The same in device pixels, moved to the centre of the pen's whole pixels.
[[nodiscard]] ChartPoint toDevice(const Surface& surface, ChartPoint logical);
// A stroke in device pixels as it shows: a segment clipped to the area and a pixel's margin
// (so the ends stay small numbers a painter handles exactly), a point only inside the area.
// Nothing when none of it shows.
[[nodiscard]] std::optional<std::array<ChartPoint, 2>> place(const Surface& surface, const Stroke& stroke);

// Clips the segment (x0, y0)-(x1, y1) to [xMin, xMax] x [yMin, yMax] in place; false when none of
// it lies inside. Infinite ends are first pulled in to a finite stand-in far outside, which keeps
// axis-parallel segments exact and never lets an infinity into the arithmetic.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xMin, double xMax, double yMin, double yMax);

}  // namespace velhorn::window::chart
