// One press of the calculate button, without a window: every mode, every check and message, the
// markers in their order and colours. Expected values are reference values (the turning-angle
// table, and a bisection of nu(M) in Python for the unrounded ones), not the code's own answers.
#include "press/press.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <regex>
#include <string>

namespace velhorn::press {
namespace {

using Boxes = std::array<std::string, kBoxCount>;  // M1, Teta, M2, Nu1, Nu2, p2/p1, T2/T1

struct Typed3 {
    std::string M1, Teta, M2;
};

std::u16string wide(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

Outcome run(std::optional<Mode> mode, const Typed3& typed, std::string_view separator = ".")
{
    static const flow::ExpansionFan fan;
    const std::u16string m1 = wide(typed.M1), teta = wide(typed.Teta), m2 = wide(typed.M2);
    return press(fan, mode, {m1, teta, m2}, separator);
}

// What the boxes show after choosing the mode (which empties them all), typing and pressing.
Boxes shown(const Outcome& outcome, const Typed3& typed)
{
    Boxes boxes = {typed.M1, typed.Teta, typed.M2, "", "", "", ""};
    for (size_t i = 0; i < kBoxCount; ++i)
        if (outcome.boxes[i])
            boxes[i] = *outcome.boxes[i];
    return boxes;
}

Mode modeNamed(const std::string& name) { return name == "M1" ? Mode::M1 : name == "Teta" ? Mode::Teta : Mode::M2; }

TEST(Press, ModesGiveTheirResults)
{
    struct Case {
        const char* name;
        const char* mode;
        Typed3 typed;
        Boxes shown;
    };
    const Case cases[] = {
        {"M2 mode", "M2", {"2", "10", ""}, {"2", "10", "2.385", "26.38", "36.38", "0.548", "0.842"}},
        {"M1 mode", "M1", {"", "20", "3"}, {"2.125", "20", "3", "29.757", "49.757", "0.259", "0.68"}},
        {"Teta mode", "Teta", {"1.5", "", "2"}, {"1.5", "14.475", "2", "11.905", "26.38", "0.469", "0.806"}},
        {"negative Teta", "Teta", {"2", "", "1.5"}, {"2", "-14.475", "1.5", "26.38", "11.905", "2.131", "1.241"}},
        {"sonic both", "Teta", {"1", "", "1"}, {"1", "0", "1", "0", "0", "1", "1"}},
        {"far outside the chart", "Teta", {"2", "", "10"}, {"2", "75.936", "10", "26.38", "102.316", "0", "0.086"}},
        {"M1 from zero turning", "M1", {"", "0", "1"}, {"1", "0", "1", "0", "0", "1", "1"}},
        {"shown nu2 typed back", "M1", {"", "26.38", "2"}, {"1", "26.38", "2", "0", "26.38", "0.242", "0.667"}},
        {"empty Teta is zero", "M2", {"2", "", ""}, {"2", "", "2", "26.38", "26.38", "1", "1"}},
        {"blank inside a number", "M2", {"1 .5", "0", ""}, {"1 .5", "0", "1.5", "11.905", "11.905", "1", "1"}},
        {"comma ends a number", "M2", {"2,5", "10", ""}, {"2,5", "10", "2.385", "26.38", "36.38", "0.548", "0.842"}},
        {"Teta text that is no number", "M2", {"2", "ten", ""}, {"2", "ten", "2", "26.38", "26.38", "1", "1"}},
        {"exactly sonic M1", "M2", {"1", "5", ""}, {"1", "5", "1.256", "0", "5", "0.724", "0.912"}},
        // Input boxes are never written: they keep what was typed, even where only its start was read.
        {"typed text kept", "M2", {" 2.0000 ", "1e1xyz", ""}, {" 2.0000 ", "1e1xyz", "2.385", "26.38", "36.38", "0.548", "0.842"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = run(modeNamed(c.mode), c.typed);
        EXPECT_FALSE(outcome.message) << *outcome.message;
        EXPECT_TRUE(outcome.redrawChart);
        EXPECT_EQ(shown(outcome, c.typed), c.shown);
        // The computed quantity's box comes back on grey; the typed ones are left alone.
        const Box output = modeNamed(c.mode) == Mode::M1 ? Box::M1 : modeNamed(c.mode) == Mode::Teta ? Box::Teta : Box::M2;
        EXPECT_EQ(outcome.output, output);
        for (Box input : {Box::M1, Box::Teta, Box::M2})
            EXPECT_EQ(outcome.box(input).has_value(), input == output);
    }
}

TEST(Press, ChecksStopBeforeAnyResult)
{
    struct Case {
        const char* name;
        const char* mode;
        Typed3 typed;
        const char* message;
    };
    const Case cases[] = {
        {"M1 mode, M2 below 1", "M1", {"", "5", "0.99"}, "M2 must be greater then 1"},
        {"M1 mode, M2 not a number", "M1", {"", "5", "abc"}, "M2 must be greater then 1"},
        {"Teta mode, M1 below 1", "Teta", {"0.5", "", "3"}, "M1 and M2 must be greater then 1"},
        {"Teta mode, both below 1", "Teta", {"0", "", "-4"}, "M1 and M2 must be greater then 1"},
        {"Teta mode, M2 empty", "Teta", {"2", "", ""}, "M1 and M2 must be greater then 1"},
        {"M2 mode, M1 below 1", "M2", {"0.999999", "5", ""}, "M1 must be greater then 1"},
        {"M2 mode, M1 negative huge", "M2", {"-1e400", "5", ""}, "M1 must be greater then 1"},
        // Numbers that would overflow are caught with the same checks.
        {"typed M1 beyond doubles", "M2", {"1e400", "5", ""}, "M1 is too large to calculate with"},
        {"M1 whose square overflows", "Teta", {"1e200", "", "2"}, "M1 is too large to calculate with"},
        {"M2 whose square overflows", "M1", {"", "5", "2e154"}, "M2 is too large to calculate with"},
        {"Teta beyond doubles", "M2", {"2", "-1e999", ""}, "Teta is too large to calculate with"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = run(modeNamed(c.mode), c.typed);
        EXPECT_EQ(outcome.message, c.message);
        // The chart is redrawn bare before the check; no box changes, nothing is marked.
        EXPECT_TRUE(outcome.redrawChart);
        for (const auto& box : outcome.boxes)
            EXPECT_FALSE(box);
        EXPECT_FALSE(outcome.output);
        EXPECT_TRUE(outcome.markers.empty());
        EXPECT_EQ(describeChart(outcome.states, "."), "bare chart");
    }
}

TEST(Press, NoOptionChangesNothing)
{
    const Outcome outcome = run(std::nullopt, {"2", "10", "3"});
    EXPECT_EQ(outcome.message, "Choose an output option");
    EXPECT_FALSE(outcome.redrawChart);
    for (const auto& box : outcome.boxes)
        EXPECT_FALSE(box);
    EXPECT_TRUE(outcome.markers.empty());
}

TEST(Press, MarkersFollowTheStateOrderAndColours)
{
    constexpr auto R = MarkerColour::Red;
    constexpr auto B = MarkerColour::Blue;
    struct Case {
        const char* mode;
        Typed3 typed;
        std::array<std::array<double, 4>, 4> segments;  // x0, y0, x1, y1, rounded
        std::array<MarkerColour, 4> colours;
    };
    const Case cases[] = {
        {"M2", {"2", "10", ""},
         {{{1, -26.380, 2, -26.380}, {2, 0, 2, -26.380}, {2.385, 0, 2.385, -36.380}, {1, -36.380, 2.385, -36.380}}},
         {R, R, B, B}},
        {"M1", {"", "20", "3"},
         {{{3, 0, 3, -49.757}, {1, -49.757, 3, -49.757}, {1, -29.757, 2.125, -29.757}, {2.125, 0, 2.125, -29.757}}},
         {R, R, B, B}},
        {"Teta", {"1.5", "", "2"},
         {{{1, -11.905, 1.5, -11.905}, {1.5, 0, 1.5, -11.905}, {2, 0, 2, -26.380}, {1, -26.380, 2, -26.380}}},
         {B, B, B, B}},
    };
    const auto near = [](double a, double b) { return std::fabs(a - b) < 5e-4 * std::max(1.0, std::fabs(b)); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const Outcome outcome = run(modeNamed(c.mode), c.typed);
        ASSERT_EQ(outcome.markers.size(), 4U);
        for (size_t i = 0; i < 4; ++i) {
            const Marker& m = outcome.markers[i];
            EXPECT_EQ(m.colour, c.colours[i]) << "marker " << i;
            EXPECT_TRUE(near(m.from.x, c.segments[i][0]) && near(m.from.y, c.segments[i][1]) &&
                        near(m.to.x, c.segments[i][2]) && near(m.to.y, c.segments[i][3]))
                << "marker " << i << ": (" << m.from.x << ", " << m.from.y << ")-(" << m.to.x << ", " << m.to.y << ")";
        }
    }
}

TEST(Press, MarkersAndRatiosUseUnroundedValues)
{
    // nu(2) and the M whose nu is nu(2) + 10, by bisection; the boxes show 26.38 and 2.385.
    constexpr double kNu1 = 26.379760813416457;
    constexpr double kM2 = 2.384887154593069;
    const Outcome outcome = run(Mode::M2, {"2", "10", ""});
    EXPECT_NEAR(outcome.markers[0].from.y, -kNu1, 1e-9);
    EXPECT_NEAR(outcome.markers[2].from.x, kM2, 1e-6);
    EXPECT_NEAR(outcome.markers[2].to.y, -(kNu1 + 10), 1e-9);
    // (1 + 0.2 * 2^2) / (1 + 0.2 * kM2^2) = 0.84209, and to the power 3.5, 0.54797.
    EXPECT_EQ(outcome.box(Box::T2T1), "0.842");
    EXPECT_EQ(outcome.box(Box::p2p1), "0.548");
}

TEST(Press, ResultsTakeTheGivenDecimalSeparator)
{
    const Typed3 typed{"2", "10", ""};
    EXPECT_EQ(shown(run(Mode::M2, typed, ","), typed), (Boxes{"2", "10", "2,385", "26,38", "36,38", "0,548", "0,842"}));
    // Input still needs the point: 2,5 reads as 2.
    EXPECT_EQ(run(Mode::M2, {"2,5", "10", ""}, ",").box(Box::Nu1), "26,38");
    EXPECT_EQ(describeChart(run(Mode::M2, typed, ",").states, ","),
              "state 1: M = 2, \u03BD = 26,38, given; state 2: M = 2,385, \u03BD = 36,38, found");
}

TEST(Press, InversionWithoutSolutionIsReported)
{
    struct Case {
        const char* name;
        const char* mode;
        Typed3 typed;
        const char* message;
        const char* nu1;
        const char* nu2;
    };
    const Case cases[] = {
        {"M2 mode, target below zero", "M2", {"2", "-27", ""},
         "No M2 gives Teta = -27 with M1 = 2. Teta must lie between -26.38 and 104.074.", "26.38", "-0.62"},
        {"M2 mode, 50 passes", "M2", {"2", "-96", ""},
         "No M2 gives Teta = -96 with M1 = 2. Teta must lie between -26.38 and 104.074.", "26.38", "-69.62"},
        {"M2 mode, at the limit", "M2", {"2", "104.08", ""},
         "No M2 gives Teta = 104.08 with M1 = 2. Teta must lie between -26.38 and 104.074.", "26.38", "130.46"},
        {"M2 mode, overflowing", "M2", {"1", "200", ""},
         "No M2 gives Teta = 200 with M1 = 1. Teta must lie between 0 and 130.454.", "0", "200"},
        {"M2 mode, huge Teta", "M2", {"2", "1e200", ""},
         "No M2 gives Teta = 1E+200 with M1 = 2. Teta must lie between -26.38 and 104.074.", "26.38", "1E+200"},
        {"M1 mode, target below zero", "M1", {"", "50", "3"},
         "No M1 gives Teta = 50 with M2 = 3. Teta must lie between -80.697 and 49.757.", "-0.243", "49.757"},
        {"M1 mode, beyond the limit", "M1", {"", "-81", "3"},
         "No M1 gives Teta = -81 with M2 = 3. Teta must lie between -80.697 and 49.757.", "130.757", "49.757"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = run(modeNamed(c.mode), c.typed);
        EXPECT_EQ(outcome.message, c.message);
        EXPECT_EQ(outcome.box(Box::Nu1), c.nu1);
        EXPECT_EQ(outcome.box(Box::Nu2), c.nu2);
        // No result of an earlier press is left beside the new nu values.
        EXPECT_EQ(outcome.box(Box::p2p1), "");
        EXPECT_EQ(outcome.box(Box::T2T1), "");
        EXPECT_EQ(outcome.box(modeNamed(c.mode) == Mode::M1 ? Box::M1 : Box::M2), "");
        EXPECT_FALSE(outcome.output);
        // Only the given state's red markers were drawn.
        ASSERT_EQ(outcome.markers.size(), 2U);
        for (const Marker& m : outcome.markers)
            EXPECT_EQ(m.colour, MarkerColour::Red);
        ASSERT_EQ(outcome.states.size(), 1U);
        EXPECT_TRUE(outcome.states[0].given);
    }
}

TEST(Press, PressureRatioBeyondDoublesIsReported)
{
    for (const auto& [mode, typed] : {std::pair{Mode::Teta, Typed3{"1e100", "", "1"}}, {Mode::M2, Typed3{"1e100", "0", ""}}}) {
        const Outcome outcome = run(mode, typed);
        EXPECT_EQ(outcome.message, "p2/p1 is too large to show");
        EXPECT_EQ(outcome.box(Box::p2p1), "");
        // T2/T1 itself is finite and shown in exponent form.
        EXPECT_TRUE(std::regex_match(*outcome.box(Box::T2T1), std::regex(R"(\d(\.\d+)?E\+\d+)"))) << *outcome.box(Box::T2T1);
        EXPECT_EQ(outcome.box(Box::Nu1), "130.454");
    }
}

}  // namespace
}  // namespace velhorn::press
