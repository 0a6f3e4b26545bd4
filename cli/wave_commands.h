#pragma once

#include "bodies/shapes.h"
#include "cli/commands.h"
#include "flow/corners.h"
#include "flow/oblique_shock.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// The subcommands of shocks, corners and bodies. Each returns the exit status as commands.h's do.
namespace velhorn::cli {

// One shock from M1 and theta (weak unless `strong`) or from M1 and beta.
int runShock(const Settings& settings, double M1, std::optional<double> theta, std::optional<double> beta,
             bool strong, Output& out);
// Shocks from CSV under a header of M1 and theta or beta, optionally gamma.
int runShockBatch(const Settings& settings, std::istream& in, bool strong, Output& out);

// Corners in a row from M1; `svg` is filled with the drawing when asked for.
int runCorners(const Settings& settings, double M1, const std::vector<double>& turns, flow::Compression compression,
               std::string* svg, Output& out);

// A range FROM TO STEP, or one value (from == to).
struct Range {
    double from = 0;
    double to = 0;
    double step = 1;
};

// A body at each M and alpha of the ranges (at most one of them a sweep): one record of its
// forces a value, or one a facet with `perFacet`; `svg` is filled with the drawing when asked for.
int runBody(const Settings& settings, const bodies::Shape& shape, Range M, Range alpha, bool perFacet, std::string* svg,
            Output& out);

// The outline of a polygon from CSV text: "x,y" a line, an optional header, blanks and comments.
std::variant<std::vector<bodies::Point>, std::string> readPolygon(std::istream& in);

}  // namespace velhorn::cli
