#pragma once

#include <string>
#include <variant>
#include <vector>

// Sharp-nosed bodies in two dimensions, as shock-expansion theory takes them: an upper and a
// lower surface of straight facets from a common nose. Coordinates are in chords, with the nose
// at (0, 0) and the chord along x to (1, 0); a surface may end above or below the chord, where a
// base closes the body (a wedge's back).
namespace velhorn::bodies {

struct Point {
    double x = 0;
    double y = 0;
};

struct Shape {
    Shape() = default;
    Shape(std::vector<Point> upper, std::vector<Point> lower);

    std::vector<Point> upper;  // from the nose aft, x rising
    std::vector<Point> lower;
    // Each facet's direction from the chord in degrees, nose aft: the same at every M and alpha,
    // so a sweep finds them once.
    std::vector<double> upperDirections;
    std::vector<double> lowerDirections;
};

// A shape, or why the numbers make none, in one line.
using ShapeOrReason = std::variant<Shape, std::string>;

[[nodiscard]] Shape flatPlate();
// A symmetric wedge of half-angle `halfAngle` degrees (0 < halfAngle < 90), one chord long.
[[nodiscard]] ShapeOrReason wedge(double halfAngle);
// A diamond of thickness ratio t (0 < t < 1) whose greatest thickness stands at `crest` chords
// from the nose (0 < crest < 1).
[[nodiscard]] ShapeOrReason diamond(double thickness, double crest);
// A circular-arc biconvex section of thickness ratio t, `facets` straight facets a side, their
// corners on the arc at equal steps of x.
[[nodiscard]] ShapeOrReason biconvex(double thickness, int facets);
// Any closed polygon, in any units, position and orientation, listed round its outline either
// way. Its nose is the one point furthest forward (least x) and its chord runs from there to the
// point (or midpoint of the base) furthest aft; both surfaces must run aft all the way, and the
// outline must not cross itself.
[[nodiscard]] ShapeOrReason polygon(const std::vector<Point>& outline);

}  // namespace velhorn::bodies
