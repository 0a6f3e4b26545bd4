#pragma once

#include "flow/expansion_fan.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One press of the calculate button, as a value: the chosen mode and the typed texts in, what
// the window must show out. The window reads its boxes, calls press() and applies the outcome.
namespace velhorn::press {

enum class Mode { M1, Teta, M2 };

// The window's seven boxes: the three inputs, then the four results.
enum class Box { M1, Teta, M2, Nu1, Nu2, p2p1, T2T1 };
inline constexpr std::size_t kBoxCount = 7;

// What the user typed into the three input boxes.
struct Typed {
    std::u16string_view M1;
    std::u16string_view Teta;
    std::u16string_view M2;
};

// A point of the chart: x is the Mach number, y is minus nu in degrees.
struct ChartPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const ChartPoint&, const ChartPoint&) = default;
};

// Red marks a state the user gave in the M1 and M2 modes; blue every other state.
enum class MarkerColour { Red, Blue };

struct Marker {
    ChartPoint from;
    ChartPoint to;
    MarkerColour colour;
    friend bool operator==(const Marker&, const Marker&) = default;
};

// A state marked on the chart, for those who cannot see the chart.
struct MarkedState {
    int number;  // 1 ahead of the fan, 2 behind it
    double M;
    double Nu;
    bool given;  // typed by the user rather than found
};

struct Outcome {
    bool redrawChart = false;  // the bare chart, before any marker
    // Each box's new text ("" empties it), or nothing to leave it as it is.
    std::array<std::optional<std::string>, kBoxCount> boxes;
    // The box of the computed quantity, shown again on grey before its text is written.
    std::optional<Box> output;
    std::vector<Marker> markers;     // in drawing order: a later one covers an earlier one
    std::vector<MarkedState> states; // in state order
    std::optional<std::string> message;  // shown last, once everything else is in place

    [[nodiscard]] const std::optional<std::string>& box(Box b) const { return boxes[static_cast<std::size_t>(b)]; }
};

// Everything one press does. `mode` is empty when no output option is chosen; results are
// written with `decimalSeparator`.
[[nodiscard]] Outcome press(const flow::ExpansionFan& fan, std::optional<Mode> mode, const Typed& typed,
                            std::string_view decimalSeparator);

// What the chart shows, in words: "bare chart", or its states, as in
// "state 1: M = 2, ν = 26.38, given; state 2: M = 2.385, ν = 36.38, found".
[[nodiscard]] std::string describeChart(const std::vector<MarkedState>& states, std::string_view decimalSeparator);

}  // namespace velhorn::press
