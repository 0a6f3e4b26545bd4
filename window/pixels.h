#pragma once

#include "window/chart.h"

#include <array>
#include <optional>

// How the chart's strokes land on a screen's pixels, the same on the desktop, in its SVG and on
// the page.
namespace velhorn::window::chart {

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

}  // namespace velhorn::window::chart
