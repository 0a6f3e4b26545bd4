#include "bodies/drawing.h"

#include "flow/angles.h"

#include "flow/full_precision_fan.h"
#include "press/records.h"
#include "text/number_text.h"

#include <algorithm>
#include <cmath>

namespace velhorn::bodies {

using flow::SinCos;
using flow::sinCosDegrees;

namespace {

constexpr int kMachLinesBetween = 3;  // inside each fan, between its first and last
constexpr double kLabelSpacing = 0.2; // chords between labels along a surface

// The ray from `from` at `angle` degrees, up to where it leaves the frame.
Stroke ray(const Drawing& d, Stroke::Kind kind, Point from, double angle)
{
    const auto [dy, dx] = sinCosDegrees(angle);
    double t = 1e9;
    if (dx > 0) t = std::min(t, (d.high.x - from.x) / dx);
    if (dx < 0) t = std::min(t, (d.low.x - from.x) / dx);
    if (dy > 0) t = std::min(t, (d.high.y - from.y) / dy);
    if (dy < 0) t = std::min(t, (d.low.y - from.y) / dy);
    t = std::max(t, 0.0);
    return Stroke{kind, from, {from.x + t * dx, from.y + t * dy}};
}

// The wave a corner at `at` sends into the flow on `side` (+1 above the wall, -1 below), the
// flow ahead running at `ahead` degrees with Mach number M.
void addWave(Drawing& d, const flow::Gas& gas, Point at, double ahead, double side, double M,
             const flow::CornerWave& wave)
{
    if (wave.kind == flow::CornerWave::Kind::Shock) {
        d.strokes.push_back(ray(d, Stroke::Kind::Shock, at, ahead + side * wave.beta));
        return;
    }
    if (wave.theta == 0)
        return;
    d.strokes.push_back(ray(d, Stroke::Kind::FanEdge, at, ahead + side * wave.firstMachLine));
    const double nu = flow::nuDegrees(gas, M);
    for (int k = 1; k <= kMachLinesBetween; ++k) {
        const double turn = wave.theta * k / (kMachLinesBetween + 1);
        if (const auto state = flow::stateFromNu(gas, nu + turn))
            d.strokes.push_back(ray(d, Stroke::Kind::MachLine, at, ahead + side * (state->mu - turn)));
    }
    d.strokes.push_back(ray(d, Stroke::Kind::FanEdge, at, ahead + side * wave.lastMachLine));
}

std::string number(double value, int digits = 4)
{
    return text::roundedNumber(value, digits);
}

void text(std::string& out, double x, double y, const std::string& content, const char* extra = "")
{
    out += "<text x=\"" + number(x, 6) + "\" y=\"" + number(y, 6) + "\"" + extra + ">" + content + "</text>\n";
}

}  // namespace

Drawing drawBody(const flow::Gas& gas, const Shape& shape, const BodyFlow& body)
{
    Drawing d;
    // Drawn in the free stream's axes, as a report shows a body at incidence: the nose at the
    // origin, the stream along x, the chord pitched by alpha.
    const SinCos pitch = sinCosDegrees(body.alpha);
    const auto wind = [pitch](Point p) {
        return Point{p.x * pitch.cos + p.y * pitch.sin, p.y * pitch.cos - p.x * pitch.sin};
    };
    Shape turned = shape;
    double top = 0, bottom = 0, right = 0;
    for (auto* surface : {&turned.upper, &turned.lower}) {
        for (Point& p : *surface) {
            p = wind(p);
            top = std::max(top, p.y);
            bottom = std::min(bottom, p.y);
            right = std::max(right, p.x);
        }
    }
    d.low = {-0.45, std::min(-0.7, bottom - 0.35)};
    d.high = {right + 0.6, std::max(0.7, top + 0.35)};
    d.title = "M\u221e = " + number(body.M) + ", \u03b1 = " + number(body.alpha) + "\u00b0, \u03b3 = " + number(body.gamma) +
              ": shock-expansion theory; cl = " + number(body.exact.cl) + ", cd = " + number(body.exact.cd);
    for (const Point& p : turned.upper)
        d.outline.push_back(p);
    for (auto p = turned.lower.rbegin(); p != turned.lower.rend(); ++p)
        d.outline.push_back(*p);
    for (std::size_t i = 0; i + 1 < d.outline.size(); ++i)
        d.strokes.push_back({Stroke::Kind::Outline, d.outline[i], d.outline[i + 1]});
    // The free stream: an arrow into the nose, and its label.
    const Point tip{-0.1, 0};
    const Point tail{-0.32, 0};
    d.strokes.push_back({Stroke::Kind::FreeStream, tail, tip});
    for (double barb : {150.0, -150.0}) {
        const auto [s, c] = sinCosDegrees(barb);
        d.strokes.push_back({Stroke::Kind::FreeStream, tip, {tip.x + 0.05 * c, tip.y + 0.05 * s}});
    }
    d.labels.push_back({{-0.22, 0.1}, body.M, 1});
    const std::size_t upperFacets = shape.upper.size() - 1;
    for (Surface surface : {Surface::Upper, Surface::Lower}) {
        const double side = surface == Surface::Upper ? 1 : -1;
        const std::size_t first = surface == Surface::Upper ? 0 : upperFacets;
        const std::size_t last = surface == Surface::Upper ? upperFacets : body.facets.size();
        double ahead = 0, M = body.M, sinceLabel = kLabelSpacing;
        bool labelledOnThisSurface = false;
        for (std::size_t i = first; i < last; ++i) {
            const Facet& f = body.facets[i];
            const Point from = wind(f.from), to = wind(f.to);
            flow::CornerWave wave;
            wave.kind = f.wave;
            wave.theta = -f.deflection;
            wave.beta = f.beta;
            wave.firstMachLine = f.firstMachLine;
            wave.lastMachLine = f.lastMachLine;
            addWave(d, gas, from, ahead, side, M, wave);
            const double dx = to.x - from.x, dy = to.y - from.y;
            const double length = std::hypot(dx, dy);
            sinceLabel += length / 2;
            if (sinceLabel >= kLabelSpacing || i + 1 == last) {
                // The last region is always labelled; one labelled too near before it gives way.
                if (sinceLabel < kLabelSpacing && labelledOnThisSurface)
                    d.labels.pop_back();
                labelledOnThisSurface = true;
                // Past the facet's middle, where its region has widened away from the wave ahead.
                const double off = 0.06 / length;
                d.labels.push_back({{from.x + 0.62 * dx - side * dy * off, from.y + 0.62 * dy + side * dx * off}, f.M,
                                    f.pRatio});
                sinceLabel = 0;
            }
            sinceLabel += length / 2;
            ahead = f.direction - body.alpha;
            M = f.M;
        }
    }
    return d;
}

Drawing drawCorners(const flow::Gas& gas, double M1, const flow::CornerFlow& corners)
{
    Drawing d;
    std::vector<Point> wall{{-1, 0}, {0, 0}};
    double direction = 0;
    for (const auto& wave : corners.waves) {
        direction -= wave.theta;  // the wall falls away at a convex corner
        const auto [s, c] = sinCosDegrees(direction);
        wall.push_back({wall.back().x + c, wall.back().y + s});
    }
    double low = 0, high = 0, right = 0;
    for (const Point& p : wall) {
        low = std::min(low, p.y);
        high = std::max(high, p.y);
        right = std::max(right, p.x);
    }
    d.low = {-1.1, low - 0.3};
    d.high = {right + 0.3, std::max(high, 0.0) + 1.6};
    d.title = "M1 = " + number(M1) + ", \u03b3 = " + number(gas.gamma()) + ": corners in a row; p/p1 = " +
              number(corners.regions.back().pRatio) + ", p0/p01 = " + number(corners.regions.back().p0Ratio);
    for (std::size_t i = 0; i + 1 < wall.size(); ++i)
        d.strokes.push_back({Stroke::Kind::Outline, wall[i], wall[i + 1]});
    double ahead = 0;
    for (std::size_t i = 0; i < corners.waves.size(); ++i) {
        addWave(d, gas, wall[i + 1], ahead, 1, corners.regions[i].M, corners.waves[i]);
        ahead -= corners.waves[i].theta;
    }
    for (std::size_t i = 0; i + 1 < wall.size(); ++i) {
        const Point& a = wall[i];
        const Point& b = wall[i + 1];
        const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
        d.labels.push_back({{(a.x + b.x) / 2 - dy / length * 0.25, (a.y + b.y) / 2 + dx / length * 0.25},
                            corners.regions[i].M, corners.regions[i].pRatio});
    }
    return d;
}

std::string svg(const Drawing& d, int width)
{
    const double scale = width / (d.high.x - d.low.x);
    const double height = (d.high.y - d.low.y) * scale + 56;  // room for the title and the key
    const auto X = [&](double x) { return (x - d.low.x) * scale; };
    const auto Y = [&](double y) { return (d.high.y - y) * scale + 28; };
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      std::to_string(width) + "\" height=\"" + number(height, 6) + "\" viewBox=\"0 0 " +
                      std::to_string(width) + " " + number(height, 6) +
                      "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"13\">\n"
                      "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    if (!d.outline.empty()) {
        out += "<polygon fill=\"#d9d9d9\" stroke=\"none\" points=\"";
        for (const Point& p : d.outline)
            out += number(X(p.x), 6) + "," + number(Y(p.y), 6) + " ";
        out += "\"/>\n";
    }
    for (const Stroke& s : d.strokes) {
        const char* style = "";
        switch (s.kind) {
        case Stroke::Kind::Outline: style = "stroke=\"#000000\" stroke-width=\"2.5\" stroke-linecap=\"round\""; break;
        case Stroke::Kind::Shock: style = "stroke=\"#c0392b\" stroke-width=\"2\""; break;
        case Stroke::Kind::FanEdge: style = "stroke=\"#1f5fa8\" stroke-width=\"1.5\""; break;
        case Stroke::Kind::MachLine: style = "stroke=\"#1f5fa8\" stroke-width=\"0.8\" stroke-dasharray=\"5 4\""; break;
        case Stroke::Kind::FreeStream: style = "stroke=\"#444444\" stroke-width=\"1.5\" stroke-linecap=\"round\""; break;
        }
        out += "<line x1=\"" + number(X(s.from.x), 6) + "\" y1=\"" + number(Y(s.from.y), 6) + "\" x2=\"" +
               number(X(s.to.x), 6) + "\" y2=\"" + number(Y(s.to.y), 6) + "\" " + style + "/>\n";
    }
    out += "<g text-anchor=\"middle\" fill=\"#000000\" stroke=\"#ffffff\" stroke-width=\"3\" paint-order=\"stroke\">\n";
    for (const Label& l : d.labels) {
        text(out, X(l.at.x), Y(l.at.y) - 2, "M " + number(l.M, 3));
        text(out, X(l.at.x), Y(l.at.y) + 13, "p/p\u221e " + number(l.pRatio, 3));
    }
    out += "</g>\n";
    text(out, 10, 19, d.title, " font-size=\"14\"");
    const double key = height - 12;
    out += "<line x1=\"10\" y1=\"" + number(key - 4, 6) + "\" x2=\"40\" y2=\"" + number(key - 4, 6) +
           "\" stroke=\"#c0392b\" stroke-width=\"2\"/>\n";
    text(out, 46, key, "shock");
    out += "<line x1=\"110\" y1=\"" + number(key - 4, 6) + "\" x2=\"140\" y2=\"" + number(key - 4, 6) +
           "\" stroke=\"#1f5fa8\" stroke-width=\"1.5\"/>\n";
    text(out, 146, key, "fan: first and last Mach lines");
    out += "<line x1=\"360\" y1=\"" + number(key - 4, 6) + "\" x2=\"390\" y2=\"" + number(key - 4, 6) +
           "\" stroke=\"#1f5fa8\" stroke-width=\"0.8\" stroke-dasharray=\"5 4\"/>\n";
    text(out, 396, key, "Mach lines inside a fan (not followed where waves meet)");
    out += "</svg>\n";
    return out;
}

}  // namespace velhorn::bodies
