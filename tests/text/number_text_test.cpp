#include "text/fields.h"
#include "text/html_table.h"
#include "text/number_text.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

// The standard library's own conversions are the reference: the texts must not change when
// {fmt} and fast_float write and read them instead.
namespace velhorn::text {
namespace {

std::string standardShortest(double value)
{
    char buffer[64];
    return {buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr};
}

std::string standardGeneral(double value, int precision)
{
    char buffer[64];
    return {buffer, std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision).ptr};
}

// Doubles from every binade, with any bits: the ones where layout and rounding go wrong.
std::vector<double> randomDoubles(std::size_t count)
{
    std::mt19937_64 random(20261209);
    std::vector<double> values;
    values.reserve(count);
    while (values.size() < count) {
        const std::uint64_t bits = random();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value))
            values.push_back(value);
    }
    return values;
}

TEST(ShortestNumber, LaysOutAsTheStandardLibrary)
{
    const double max = std::numeric_limits<double>::max();
    const double tiny = std::numeric_limits<double>::denorm_min();
    // Ties between fixed and scientific, the edges of each, whole numbers past 2^53, extremes.
    const std::vector<double> cases = {
        1,       10,      1e15,     1e16,    1e21,     1e22,    123456789012345678.0, 9007199254740993.0,
        0.1,     0.001,   0.0001,   1e-5,    1.5e-5,   0.00012, 1234.5,               5e-324,
        tiny,    max,     -max,     2.5,     -0.25,    1e100,   1.7976931348623157e308, 4.9406564584124654e-324,
        2.2250738585072014e-308,   1152921504606846976.0, 100,  1e-7,     130.45407685048602, 26.379760813416457,
    };
    for (double value : cases) {
        SCOPED_TRACE(standardShortest(value));
        EXPECT_EQ(shortestNumber(value), standardShortest(value));
    }
    for (double value : randomDoubles(300'000))
        ASSERT_EQ(shortestNumber(value), standardShortest(value)) << std::hexfloat << value;
    // Numbers a fan gives, between 1e-3 and 1e3.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(-3, 3);
    for (int i = 0; i < 200'000; ++i) {
        const double value = std::pow(10.0, exponent(random));
        ASSERT_EQ(shortestNumber(value), standardShortest(value)) << std::hexfloat << value;
    }
}

// The records' shortest text is the standard library's to_chars, whatever writes it: at the
// switches between fixed and scientific, at the ends of the range, and on random bit patterns.
TEST(ShortestNumber, SameTextAsToCharsAtTheSwitchesAndEnds)
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

TEST(ShortestNumber, NoTextForWhatIsNoNumberAndNoMinusOnZero)
{
    EXPECT_EQ(shortestNumber(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(shortestNumber(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(shortestNumber(-std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(shortestNumber(-0.0), "0");
    EXPECT_EQ(shortestNumber(0.0), "0");
}

TEST(RoundedNumber, IsPrintfGeneral)
{
    const std::vector<double> cases = {0.5, 1e15, 1e14, 999999999999999.9, 123456.789, 1e-5, 1.5e-4, 0.0001,
                                       -2.5, 1e300, 5e-324, 26.379760813416457, 0.1 + 0.2, 100, 1e16};
    for (int digits = 1; digits <= 17; ++digits) {
        for (double value : cases)
            EXPECT_EQ(roundedNumber(value, digits), standardGeneral(value, digits)) << value << " " << digits;
    }
    for (double value : randomDoubles(100'000)) {
        ASSERT_EQ(roundedNumber(value, 15), standardGeneral(value, 15)) << std::hexfloat << value;
        ASSERT_EQ(roundedNumber(value, 6), standardGeneral(value, 6)) << std::hexfloat << value;
    }
    // Digits outside 1 to 17 are brought inside.
    EXPECT_EQ(roundedNumber(2.0 / 3, 0), standardGeneral(2.0 / 3, 1));
    EXPECT_EQ(roundedNumber(2.0 / 3, 40), standardGeneral(2.0 / 3, 17));
    EXPECT_EQ(roundedNumber(-0.0, 6), "0");
    EXPECT_EQ(roundedNumber(std::numeric_limits<double>::infinity(), 6), "");
}

TEST(ReadNumber, TakesOnlyAWholeFiniteDecimalNumber)
{
    struct Case { const char* text; std::optional<double> value; };
    const std::vector<Case> cases = {
        {"2", 2},         {"+2", 2},        {"-2", -2},        {".5", 0.5},      {"5.", 5},
        {"1e3", 1000},    {"1E-3", 0.001},  {"2.5e+1", 25},    {"0", 0},         {"00012", 12},
        {"4.9e-324", std::numeric_limits<double>::denorm_min()},
        {"1.7976931348623157e308", std::numeric_limits<double>::max()},
        {"", {}},         {"+", {}},        {"-", {}},         {"+-2", {}},      {"--2", {}},
        {" 2", {}},       {"2 ", {}},       {"1e", {}},        {"1e+", {}},      {"inf", {}},
        {"nan", {}},      {"0x10", {}},     {"1,5", {}},       {"e5", {}},       {"1e400", {}},
        {"-1e400", {}},   {"1e-400", {}},   {"2.4e-324", {}},  {"1.7976931348623159e308", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readNumber(c.text), c.value);
    }
    EXPECT_TRUE(std::signbit(*readNumber("-0")));
    EXPECT_EQ(readNumber("0e-999"), 0.0);  // zero written as zero is no underflow
    for (double value : randomDoubles(100'000))
        ASSERT_EQ(readNumber(standardShortest(value)), value) << standardShortest(value);
}

TEST(Fields, JoinAndSplitLines)
{
    std::string line;
    const std::array<std::string_view, 3> names{"M1", "theta_deg", "M2"};
    appendNames(line, names, ',');
    EXPECT_EQ(line, "M1,theta_deg,M2\n");
    line.clear();
    const std::array values{2.0, 0.1, -0.0, std::numeric_limits<double>::quiet_NaN()};
    appendValues(line, values, '\t');
    EXPECT_EQ(line, "2\t0.1\t0\t\n");

    struct Case { std::string_view line; char separator; std::vector<std::string_view> fields; };
    const std::vector<Case> cases = {
        {"a,b,c", ',', {"a", "b", "c"}},       {" a , b\t,\tc\r", ',', {"a", "b", "c"}},
        {"", ',', {""}},                       {",", ',', {"", ""}},
        {"a\tb c", '\t', {"a", "b c"}},        {"1,,2", ',', {"1", "", "2"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string_view> fields;
        splitFields(c.line, c.separator, [&](std::string_view f) { fields.push_back(f); });
        EXPECT_EQ(fields, c.fields) << c.line;
    }
}

// Rows written one after another read as each row written alone, whatever repeats from the row
// before: a value, a zero of either sign, a NaN, a row longer or shorter than the one before, and
// a row too wide to keep.
TEST(Fields, RowsAfterRowsAreEachRowAlone)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> wide(40, 1.4);
    wide[39] = 2.5e-300;
    const std::vector<std::vector<double>> rows = {
        {1.4, 2, 0.1, 31.850022659237723},
        {1.4, 3, 0.1, -1e-300},
        {1.4, 3, -0.0, -1e-300, 7},
        {1.4, 4, 0.0, nan, 7, 8, 9},
        {1.4, 4},
        {1.4, 4, 0.0, nan, 7},
        wide,
        wide,
        {1.4, 1.7976931348623157e308, 5e-324, 123456789012345680000.0},
        {1.4, 1.7976931348623157e308, 5e-324, 123456789012345680000.0},
        {},
        {1.4},
    };
    for (const char separator : {',', '\t'}) {
        ValueRows writer;
        std::string together, alone;
        for (const auto& row : rows) {
            writer.append(together, row, separator);
            appendValues(alone, row, separator);
        }
        EXPECT_EQ(together, alone);
    }
    // Many rows, each column repeating now and then, as a batch's do.
    std::mt19937_64 random(11);
    ValueRows writer;
    std::string together, alone;
    std::vector<double> row(16);
    for (int n = 0; n < 20000; ++n) {
        for (double& value : row) {
            if (random() % 3 != 0)
                value = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 120) - 100);
        }
        row.resize(8 + random() % 9);
        writer.append(together, row, ',');
        appendValues(alone, row, ',');
        row.resize(16);
    }
    EXPECT_EQ(together, alone);
}

// A number's text from input is taken as its shortest text only where writeShortest writes that
// very text; std::to_chars says which it writes.
TEST(ShortestNumber, TextTakenAsItsOwnOnlyWhereItIs)
{
    const auto shortest = [](std::string_view text) {
        char buffer[64];
        const double value = *readNumber(text);
        return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
    };
    struct Case { std::string_view text; bool own; };
    const std::vector<Case> cases = {
        {"3.256322", true},  {"16.268", true},     {"-2.5", true},    {"0.5", true},     {"100", true},
        {"0.00012", true},   {"99999", true},      {"123456789012345", true},           {"0.1234", true},
        {"16.2680", false},  {".5", false},        {"0.50", false},   {"1e5", false},    {"100000000", false},
        {"0.0001", false},   {"0", false},         {"-0", false},     {"0.000", false},  {"007", false},
        {"+2.5", false},     {"2.", false},        {"1234567890123456", false},          {"1.2345678901234567", false},
        {"9007199254740993", false},               {"1000000000000000", false},          {"", false},
        {"-", false},        {"1.5e+00", false},   {"4.5.6", false},  {"1,5", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isShortestText(c.text), c.own) << c.text;
        if (c.own) {
            EXPECT_EQ(shortest(c.text), c.text);
        }
    }
    // Random texts of up to 15 significant digits in fixed notation: taken exactly where to_chars
    // gives them back.
    std::mt19937_64 random(3);
    int taken = 0;
    for (int n = 0; n < 200000; ++n) {
        std::string text = random() % 4 == 0 ? "-" : "";
        const int before = static_cast<int>(random() % 8), after = static_cast<int>(random() % 9);
        text += before == 0 ? std::string("0") : std::to_string(1 + random() % 9);
        for (int k = 1; k < before; ++k)
            text += static_cast<char>('0' + random() % (k % 3 == 0 ? 1 : 10));
        if (after > 0) {
            text += '.';
            for (int k = 0; k < after; ++k)
                text += static_cast<char>('0' + random() % (random() % 3 == 0 ? 1 : 10));
        }
        const auto value = readNumber(text);
        if (!value || *value == 0)
            continue;
        const std::size_t first = text.find_first_of("123456789");
        const std::size_t last = text.find_last_of("123456789");
        const std::size_t significant = last - first + 1 - (text.find('.') > first && text.find('.') < last);
        if (significant > 15)
            continue;
        EXPECT_EQ(isShortestText(text), shortest(text) == text) << text;
        taken += isShortestText(text);
    }
    EXPECT_GT(taken, 50000);
}

TEST(HtmlTable, HeaderRowThenOneRowEach)
{
    const std::array<std::string_view, 2> names{"M", "nu_deg"};
    EXPECT_EQ(htmlTable(names, {{"1", "0"}, {"2", "26.4"}}),
              "<table>\n<tr><th>M</th><th>nu_deg</th></tr>\n<tr><td>1</td><td>0</td></tr>\n"
              "<tr><td>2</td><td>26.4</td></tr>\n</table>\n");
    EXPECT_EQ(htmlTable(names, {}), "<table>\n<tr><th>M</th><th>nu_deg</th></tr>\n</table>\n");
}

}  // namespace
}  // namespace velhorn::text
