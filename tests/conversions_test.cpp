#include "press/conversions.h"
#include "press/records.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <limits>
#include <string>
#include <vector>

namespace velhorn::press {
namespace {

TEST(ParseNumber, ReadsTheLeadingNumber)
{
    struct Case { std::u16string text; double value; };
    const std::vector<Case> cases = {
        {u"2", 2},           {u"1.5", 1.5},        {u".5", 0.5},         {u"2.", 2},
        {u"-3.25", -3.25},   {u"+4", 4},           {u"1 .5", 1.5},       {u" \t\n2 6 . 3 8", 26.38},
        {u"- 5", -5},        {u"2,5", 2},          {u"abc", 0},          {u"", 0},
        {u"   ", 0},         {u".", 0},            {u"-", 0},            {u"+.", 0},
        {u"3abc", 3},        {u"1e3", 1000},       {u"1E-2", 0.01},      {u"2.5e+1", 25},
        {u"1 e 2", 100},     {u"2e", 2},           {u"2e+", 2},          {u"2ex5", 2},
        {u"1e2.5", 100},     {u"12-3", 12},        {u"--2", 0},          {u"1..2", 1},
        {u"inf", 0},         {u"nan", 0},          {u"0x1A", 0},         {u"&H10", 0},
        {u"1D2", 1},         {u"\r2", 0},          {u"\u0662", 0},       {u"\u200F2", 0},
        {u"0.1", 0.1},       {u"1e-400", 0},       {u"000000000000000000000000012.5", 12.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        EXPECT_EQ(parseNumber(c.text), c.value);
    }
}

TEST(ParseNumber, OutOfRangeNumbersSaturate)
{
    struct Case { std::u16string text; double value; };
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Case> cases = {
        {u"1e400", inf},        {u"-1e400", -inf},     {u"0.000001e315", inf},
        {u"1e-400", 0},         {u"123e-400", 0},      {u"1e99999999999999999999", inf},
        {u"0.0001e-99999999999", 0}, {u"1e308", 1e308}, {u"0e999999", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        EXPECT_EQ(parseNumber(c.text), c.value);
    }
}

TEST(ParseNumber, LongTextIsCorrectlyRounded)
{
    // The same decimal always lands on the same, nearest double, however it is written.
    const std::u16string longDigits = u"0." + std::u16string(400, u'3');
    EXPECT_EQ(parseNumber(longDigits), 1.0 / 3);
    EXPECT_EQ(parseNumber(u"26.379760813"), 26.379760813);
    EXPECT_EQ(parseNumber(u"2" + std::u16string(1'000'000, u'0')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseNumber(std::u16string(1'000'000, u' ') + u"7"), 7);
}

TEST(RoundTo3, NearestWithTiesToEven)
{
    struct Case { double in, out; };
    const std::vector<Case> cases = {
        {26.379760813, 26.38}, {0.0625, 0.062}, {0.1875, 0.188}, {0.0025, 0.002},
        {-0.0625, -0.062},     {0.6796, 0.68},  {1.0003547, 1},  {-14.4745519, -14.475},
        {0.0005, 0},           {0.0015, 0.002}, {2.5e-4, 0},     {1e300, 1e300},
        {-1.7e308, -1.7e308},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(roundTo3(c.in), c.out);
    }
}

TEST(DisplayNumber, FormsOfTheShownText)
{
    struct Case { double value; std::string separator; std::string text; };
    const std::vector<Case> cases = {
        {26.38, ".", "26.38"},      {0.68, ".", "0.68"},       {1, ".", "1"},
        {-14.475, ".", "-14.475"},  {0, ".", "0"},             {-0.0, ".", "0"},
        {102.316, ".", "102.316"},  {26.38, ",", "26,38"},     {-0.062, ",", "-0,062"},
        {1000000, ".", "1000000"},  {123456789012.345, ".", "123456789012.345"},
        {999999999999999, ".", "999999999999999"},
        {1e15, ".", "1E+15"},       {1.5e20, ",", "1,5E+20"},  {-2.25e300, ".", "-2.25E+300"},
        {std::numeric_limits<double>::infinity(), ".", ""},
        {std::numeric_limits<double>::quiet_NaN(), ".", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(displayNumber(c.value, c.separator), c.text);
    }
}

TEST(DisplayNumber, RoundedValuesShowAtMostThreeDecimals)
{
    for (double x = -50; x < 50; x += 0.0123457) {
        const std::string text = displayNumber(roundTo3(x), ".");
        const auto point = text.find('.');
        if (point != std::string::npos) {
            EXPECT_LE(text.size() - point - 1, 3u) << text;
        }
        EXPECT_EQ(text.find('e'), std::string::npos) << text;
    }
}

// The records' shortest text is the standard library's to_chars, whatever writes it: at the
// switches between fixed and scientific, at the ends of the range, and on random bit patterns.
TEST(ShortestNumber, SameTextAsToChars)
{
    const auto expected = [](double v) {
        char buffer[64];
        return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v == 0 ? 0.0 : v).ptr);
    };
    std::vector<double> values = {1, -1, 0.1, 0.3, 1e15, 1e16, 1e21, 1e22, 1.2345678901234568e20, 123456789012345680000.0,
                                  1e-4, 1e-5, 1.5e-5, 0.00012345, 1e100, 1e-100, 5e-324, 2.2250738585072014e-308,
                                  std::numeric_limits<double>::max(), 9007199254740993.0, 4.35, 100, 1200, 1.4,
                                  0.0, -0.0};
    for (int e = -330; e <= 310; ++e) {
        values.push_back(std::pow(10.0, e));
        values.push_back(1.25 * std::pow(10.0, e));
        values.push_back(std::nextafter(std::pow(10.0, e), 0.0));
    }
    std::mt19937_64 bits(20240611);
    for (int i = 0; i < 300000; ++i) {
        const double v = std::bit_cast<double>(bits());
        if (std::isfinite(v))
            values.push_back(v);
        values.push_back(std::ldexp(static_cast<double>(bits() >> 11), -static_cast<int>(bits() % 64)));
    }
    for (double v : values) {
        if (std::isfinite(v)) {
            ASSERT_EQ(shortestNumber(v), expected(v)) << std::bit_cast<std::uint64_t>(v);
        }
    }
}

}  // namespace
}  // namespace velhorn::press
