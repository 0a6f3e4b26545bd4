#include "bodies/shapes.h"

#include "flow/angles.h"

#include "press/records.h"
#include "text/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace velhorn::bodies {

using flow::directionDegrees;
using flow::sinCosDegrees;

namespace {


std::string number(double value)
{
    return text::roundedNumber(value, 6);
}

// Whether segments ab and cd cross or touch, other than where the outline joins them.
bool cross(Point a, Point b, Point c, Point d)
{
    const auto side = [](Point p, Point q, Point r) { return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x); };
    const double d1 = side(c, d, a), d2 = side(c, d, b), d3 = side(a, b, c), d4 = side(a, b, d);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return true;
    const auto on = [](Point p, Point q, Point r) {  // r on segment pq, given collinear
        return std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) && std::min(p.y, q.y) <= r.y &&
               r.y <= std::max(p.y, q.y);
    };
    return (d1 == 0 && on(c, d, a)) || (d2 == 0 && on(c, d, b)) || (d3 == 0 && on(a, b, c)) || (d4 == 0 && on(a, b, d));
}

bool runsAft(const std::vector<Point>& surface)
{
    for (std::size_t i = 1; i < surface.size(); ++i) {
        if (!(surface[i].x > surface[i - 1].x))
            return false;
    }
    return true;
}

std::vector<double> directionsOf(const std::vector<Point>& surface)
{
    std::vector<double> directions;
    for (std::size_t i = 1; i < surface.size(); ++i)
        directions.push_back(directionDegrees(surface[i].x - surface[i - 1].x, surface[i].y - surface[i - 1].y));
    return directions;
}

}  // namespace

Shape::Shape(std::vector<Point> upperSurface, std::vector<Point> lowerSurface)
    : upper(std::move(upperSurface)),
      lower(std::move(lowerSurface)),
      upperDirections(directionsOf(upper)),
      lowerDirections(directionsOf(lower))
{
}

Shape flatPlate()
{
    return Shape{{{0, 0}, {1, 0}}, {{0, 0}, {1, 0}}};
}

ShapeOrReason wedge(double halfAngle)
{
    if (!(halfAngle > 0 && halfAngle < 90))
        return "a wedge's half-angle " + number(halfAngle) + " must be above 0 and below 90 degrees";
    const auto [s, c] = sinCosDegrees(halfAngle);
    const double y = s / c;
    return Shape{{{0, 0}, {1, y}}, {{0, 0}, {1, -y}}};
}

ShapeOrReason diamond(double thickness, double crest)
{
    if (!(thickness > 0 && thickness < 1))
        return "a thickness ratio of " + number(thickness) + ": it must be above 0 and below 1";
    if (!(crest > 0 && crest < 1))
        return "the greatest thickness at " + number(crest) + " chords: it must stand above 0 and below 1";
    return Shape{{{0, 0}, {crest, thickness / 2}, {1, 0}}, {{0, 0}, {crest, -thickness / 2}, {1, 0}}};
}

ShapeOrReason biconvex(double thickness, int facets)
{
    if (!(thickness > 0 && thickness < 1))
        return "a thickness ratio of " + number(thickness) + ": it must be above 0 and below 1";
    if (facets < 2 || facets > 10000)
        return "a biconvex section needs 2 to 10000 facets a side, not " + std::to_string(facets);
    // The arc through the nose, the tail and the crest (0.5, t/2).
    const double h = thickness / 2;
    const double radius = (0.25 + h * h) / (2 * h);
    std::vector<Point> upper, lower;
    for (int k = 0; k <= facets; ++k) {
        const double x = static_cast<double>(k) / facets;
        const double y = k == 0 || k == facets ? 0 : h - radius + std::sqrt(radius * radius - (x - 0.5) * (x - 0.5));
        upper.push_back({x, y});
        lower.push_back({x, -y});
    }
    return Shape{upper, lower};
}

ShapeOrReason polygon(const std::vector<Point>& outline)
{
    std::vector<Point> points = outline;
    if (points.size() > 1 && points.front().x == points.back().x && points.front().y == points.back().y)
        points.pop_back();  // an outline closed by repeating its first point
    const std::size_t n = points.size();
    if (n < 3)
        return "a polygon needs at least 3 points, not " + std::to_string(n);
    for (const Point& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return std::string("a point of the polygon is not a finite number");
    }
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            const bool adjacent = j == i + 1 || (i == 0 && j == n - 1);
            if (!adjacent && cross(points[i], points[(i + 1) % n], points[j], points[(j + 1) % n]))
                return "the outline crosses itself: edges " + std::to_string(i + 1) + " and " + std::to_string(j + 1) +
                       " meet";
        }
    }
    std::size_t nose = 0, tail = 0;
    for (std::size_t i = 1; i < n; ++i) {
        if (points[i].x < points[nose].x)
            nose = i;
        if (points[i].x > points[tail].x)
            tail = i;
    }
    const auto count = [&](double x) {
        return std::count_if(points.begin(), points.end(), [x](const Point& p) { return p.x == x; });
    };
    if (count(points[nose].x) > 1)
        return std::string("the nose is blunt: more than one point lies furthest forward, and shock-expansion "
                           "theory needs a sharp nose");
    // A base is two neighbours furthest aft; the chord ends at its middle.
    std::size_t tailA = tail, tailB = tail;
    if (count(points[tail].x) == 2) {
        if (points[(tail + 1) % n].x == points[tail].x)
            tailB = (tail + 1) % n;
        else if (points[(tail + n - 1) % n].x == points[tail].x)
            tailA = (tail + n - 1) % n;
        else
            return std::string("two points lie furthest aft without a base between them");
    } else if (count(points[tail].x) > 2) {
        return std::string("more than two points lie furthest aft");
    }
    // The two ways round from the nose, one to each end of the base.
    std::vector<Point> one{points[nose]}, other{points[nose]};
    for (std::size_t i = nose; i != tailB && i != tailA;) {
        i = (i + 1) % n;
        one.push_back(points[i]);
    }
    const std::size_t oneEnd = (nose + one.size() - 1) % n;
    const std::size_t otherEnd = oneEnd == tailA ? tailB : tailA;
    for (std::size_t i = nose; i != otherEnd;) {
        i = (i + n - 1) % n;
        other.push_back(points[i]);
    }
    const Point tip = points[nose];
    const Point aft{(points[tailA].x + points[tailB].x) / 2, (points[tailA].y + points[tailB].y) / 2};
    const double dx = aft.x - tip.x, dy = aft.y - tip.y;
    const double length2 = dx * dx + dy * dy;
    const auto toChord = [&](std::vector<Point>& surface) {
        for (Point& p : surface) {
            const double x = p.x - tip.x, y = p.y - tip.y;
            p = {(x * dx + y * dy) / length2, (y * dx - x * dy) / length2};
        }
    };
    toChord(one);
    toChord(other);
    if (!runsAft(one) || !runsAft(other))
        return std::string("a surface turns back on itself: seen along the chord, each surface must run aft from "
                           "the nose to the tail");
    const auto meanY = [](const std::vector<Point>& s) {
        double sum = 0;
        for (const Point& p : s)
            sum += p.y;
        return sum / static_cast<double>(s.size());
    };
    if (meanY(one) > meanY(other))
        return Shape{one, other};
    return Shape{other, one};
}

}  // namespace velhorn::bodies
