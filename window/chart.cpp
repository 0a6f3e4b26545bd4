#include "window/chart.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace velhorn::window::chart {

std::array<ChartPoint, kCurveVertices> curve(const flow::ExpansionFan& fan)
{
    std::array<ChartPoint, kCurveVertices> vertices{kOrigin};
    for (int i = kFirstTenth; i <= kLastTenth; ++i) {
        const double M = i / 10.0;  // divided afresh each pass, so no error accumulates
        double Nu = 0;
        fan.Nu_için_hesap(M, Nu);
        vertices[static_cast<std::size_t>(i - kFirstTenth + 1)] = {M, -Nu};
    }
    return vertices;
}

std::vector<Stroke> bareChart(const flow::ExpansionFan& fan)
{
    using Kind = Stroke::Kind;
    std::vector<Stroke> strokes{{Kind::Segment, kOrigin, kNuAxisTop, Ink::Plain},
                                {Kind::Segment, kOrigin, kMachAxisEnd, Ink::Plain}};
    const auto vertices = curve(fan);
    strokes.push_back({Kind::Point, vertices.front(), vertices.front(), Ink::Plain});
    for (std::size_t i = 1; i < vertices.size(); ++i)
        strokes.push_back({Kind::Segment, vertices[i - 1], vertices[i], Ink::Red});
    return strokes;
}

Stroke markerStroke(const press::Marker& m)
{
    return {Stroke::Kind::Segment, m.from, m.to, m.colour == press::MarkerColour::Red ? Ink::Red : Ink::Blue};
}

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

// Liang-Barsky.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xMin, double xMax,
                 double yMin, double yMax)
{
    constexpr double kFar = 1e300;
    for (double* v : {&x0, &y0, &x1, &y1}) {
        if (std::isnan(*v))
            return false;
        *v = std::clamp(*v, -kFar, kFar);
    }
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    double t0 = 0;
    double t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - xMin, xMax - x0, y0 - yMin, yMax - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double sx = x0;
    const double sy = y0;
    x0 = sx + t0 * dx;
    y0 = sy + t0 * dy;
    x1 = sx + t1 * dx;
    y1 = sy + t1 * dy;
    return true;
}

}  // namespace velhorn::window::chart
