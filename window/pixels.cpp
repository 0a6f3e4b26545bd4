#include "window/pixels.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velhorn::window::chart {

float single(double value)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax)
        return std::numeric_limits<float>::infinity();
    if (value < -kMax)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

int penWidth(double ratio)
{
    // Half-way ratios round away from zero, as Qt's qRound does.
    return std::max(1, static_cast<int>(std::floor(ratio + 0.5)));
}

ChartPoint toLogical(const Surface& s, double x, double y)
{
    return {(x - s.left) / (s.right - s.left) * s.width, (y - s.top) / (s.bottom - s.top) * s.height};
}

ChartPoint toDevice(const Surface& s, ChartPoint logical)
{
    const double half = penWidth(s.ratio) / 2.0;
    return {std::round(logical.x * s.ratio - half) + half, std::round(logical.y * s.ratio - half) + half};
}

std::optional<std::array<ChartPoint, 2>> place(const Surface& s, const Stroke& stroke)
{
    if (stroke.kind == Stroke::Kind::Point) {
        if (!std::isfinite(stroke.from.x) || !std::isfinite(stroke.from.y))
            return std::nullopt;
        const ChartPoint p = toLogical(s, stroke.from.x, stroke.from.y);
        if (!(s.width > 0 && s.height > 0 && p.x >= 0 && p.x <= s.width && p.y >= 0 && p.y <= s.height))
            return std::nullopt;
        const ChartPoint d = toDevice(s, p);
        return std::array{d, d};
    }
    const double marginX = std::fabs(s.right - s.left) / std::max(1.0, s.width);
    const double marginY = std::fabs(s.bottom - s.top) / std::max(1.0, s.height);
    double x0 = stroke.from.x, y0 = stroke.from.y, x1 = stroke.to.x, y1 = stroke.to.y;
    if (!clipSegment(x0, y0, x1, y1, std::min(s.left, s.right) - marginX, std::max(s.left, s.right) + marginX,
                     std::min(s.top, s.bottom) - marginY, std::max(s.top, s.bottom) + marginY))
        return std::nullopt;
    return std::array{toDevice(s, toLogical(s, x0, y0)), toDevice(s, toLogical(s, x1, y1))};
}

}  // namespace velhorn::window::chart
