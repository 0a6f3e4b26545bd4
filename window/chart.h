#pragma once

#include "flow/expansion_fan.h"
#include "press/press.h"

#include <array>
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

// Clips the segment (x0, y0)-(x1, y1) to [xMin, xMax] x [yMin, yMax] in place; false when none of
// it lies inside. Infinite ends are first pulled in to a finite stand-in far outside, which keeps
// axis-parallel segments exact and never lets an infinity into the arithmetic.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xMin, double xMax, double yMin, double yMax);

}  // namespace velhorn::window::chart
