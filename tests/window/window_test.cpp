#include "window/chart.h"
#include "window/option_choice.h"
#include "window/pixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace velhorn::window::chart {
namespace {

using Kind = Stroke::Kind;

TEST(PixelRule, PenCoversWholeDevicePixels)
{
    // A 100 x 100 logical area showing user x and y from 0 to 10.
    struct Case { double ratio; int pen; double x; double y; double deviceX; double deviceY; };
    const std::vector<Case> cases = {
        // At 1 a one-pixel pen is centred on a pixel: 50 logical lands on 50.5.
        // Half-way device pixels round away from zero, as on the desktop.
        {1, 1, 5, 5, 50.5, 50.5},    {1, 1, 0, 10, -0.5, 100.5},
        // At 1.25 the pen stays one device pixel; 62.5 device pixels round to pixel 62.
        {1.25, 1, 5, 5, 62.5, 62.5},
        // At 1.5 the pen is two device pixels, and its centre lies between two pixels.
        {1.5, 2, 5, 5, 75, 75},      {1.5, 2, 1, 1, 15, 15},
        {2, 2, 5, 2.5, 100, 50},     {2.5, 3, 5, 5, 125.5, 125.5},
    };
    for (const Case& c : cases) {
        const Surface surface{0, 0, 10, 10, 100, 100, c.ratio};
        EXPECT_EQ(penWidth(c.ratio), c.pen) << c.ratio;
        const auto placed = place(surface, {Kind::Point, {c.x, c.y}, {c.x, c.y}, Ink::Plain});
        ASSERT_TRUE(placed.has_value()) << c.ratio;
        EXPECT_EQ((*placed)[0].x, c.deviceX) << c.ratio;
        EXPECT_EQ((*placed)[0].y, c.deviceY) << c.ratio;
    }
}

TEST(PixelRule, SegmentsAreClippedToTheAreaAndAPixel)
{
    // User x and y from 0 to 8 on 64 logical pixels, y growing upward as the chart's does: a
    // pixel is 0.125 user units, so every clipped end below is exact.
    const Surface surface{0, 8, 8, 0, 64, 64, 1};
    struct Case { ChartPoint from; ChartPoint to; std::optional<std::array<ChartPoint, 2>> device; };
    const std::vector<Case> cases = {
        {{-8, 4}, {4, 4}, std::array{ChartPoint{-1.5, 32.5}, ChartPoint{32.5, 32.5}}},
        {{4, -8}, {4, 16}, std::array{ChartPoint{32.5, 65.5}, ChartPoint{32.5, -1.5}}},
        {{20, 20}, {30, 30}, std::nullopt},
        {{std::nan(""), 1}, {2, 2}, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto placed = place(surface, {Kind::Segment, c.from, c.to, Ink::Red});
        ASSERT_EQ(placed.has_value(), c.device.has_value()) << c.from.x << " " << c.from.y;
        if (placed) {
            EXPECT_EQ((*placed)[0], (*c.device)[0]);
            EXPECT_EQ((*placed)[1], (*c.device)[1]);
        }
    }
    // A point shows only inside the area, and nothing shows on an area of no size.
    EXPECT_FALSE(place(surface, {Kind::Point, {8.5, 4}, {8.5, 4}, Ink::Plain}).has_value());
    EXPECT_FALSE(place({0, 0, 10, 10, 0, 0, 1}, {Kind::Point, {0, 0}, {0, 0}, Ink::Plain}).has_value());
}

TEST(BareChart, AxesThenAPointThenTheRedCurve)
{
    const flow::ExpansionFan air;
    const auto strokes = bareChart(air);
    ASSERT_EQ(strokes.size(), 43u);
    EXPECT_EQ(strokes[0], (Stroke{Kind::Segment, {1, 0}, {1, -75}, Ink::Plain}));
    EXPECT_EQ(strokes[1], (Stroke{Kind::Segment, {1, 0}, {5, 0}, Ink::Plain}));
    EXPECT_EQ(strokes[2], (Stroke{Kind::Point, {1, 0}, {1, 0}, Ink::Plain}));
    for (std::size_t i = 3; i < strokes.size(); ++i) {
        EXPECT_EQ(strokes[i].ink, Ink::Red);
        EXPECT_EQ(strokes[i].from, strokes[i - 1].to);  // one unbroken line
    }
    // nu(2) = 26.3797608134164... degrees for air (mpmath, 40 digits).
    EXPECT_EQ(strokes[12].to.x, 2.0);
    EXPECT_NEAR(strokes[12].to.y, -26.379760813416457, 1e-12);
    EXPECT_EQ(strokes.back().to.x, 5.0);
}

TEST(Single, SaturatesToInfinityOutsideFloatRange)
{
    EXPECT_EQ(single(1e300), std::numeric_limits<float>::infinity());
    EXPECT_EQ(single(-1e300), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(single(0.1), 0.1f);
    EXPECT_TRUE(std::isnan(single(std::nan(""))));
}

TEST(OptionChoice, HidesTheChosenQuantitysBox)
{
    EXPECT_EQ(choose(press::Mode::M1).hidden, press::Box::M1);
    EXPECT_EQ(choose(press::Mode::Teta).hidden, press::Box::Teta);
    EXPECT_EQ(choose(press::Mode::M2).hidden, press::Box::M2);
    EXPECT_EQ(OptionChoice::kCaption, form1::kCaptionPrepared);
}

}  // namespace
}  // namespace velhorn::window::chart
