#include "window/chart.h"

#include <algorithm>
#include <cmath>

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
