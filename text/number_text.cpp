#include "text/number_text.h"

#include <fast_float/fast_float.h>
#include <fmt/format.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace velhorn::text {

namespace {

[[gnu::always_inline]] inline void eightDigits(char* out, std::uint32_t n)
{
    static constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                     "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                     "8081828384858687888990919293949596979899";
    const std::uint32_t high = n / 10000, low = n % 10000;
    std::memcpy(out, kPairs + 2 * (high / 100), 2);
    std::memcpy(out + 2, kPairs + 2 * (high % 100), 2);
    std::memcpy(out + 4, kPairs + 2 * (low / 100), 2);
    std::memcpy(out + 6, kPairs + 2 * (low % 100), 2);
}

char* writeExponent(char* out, int exponent)
{
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude >= 100)
        *out++ = static_cast<char>('0' + magnitude / 100);
    *out++ = static_cast<char>('0' + magnitude / 10 % 10);
    *out++ = static_cast<char>('0' + magnitude % 10);
    return out;
}

}  // namespace

char* writeShortest(char* first, double value)
{
    if (!std::isfinite(value))
        return first;
    char* out = first;
    if (std::signbit(value))
        *out++ = '-';
    value = std::fabs(value);
    if (value == 0) {
        *out++ = '0';
        return out;
    }
    // The shortest digits that read back (Dragonbox): value = significand * 10^exponent. A batch
    // writes a dozen or more a row, so the digits are written all 17 places at once, leading
    // zeros and all, and copied in fixed sizes, which the compiler inlines; hence the room.
    const auto decimal = fmt::detail::dragonbox::to_decimal(value);
    char digits[40] = {};
    const std::uint64_t top = decimal.significand / 100000000;
    digits[0] = static_cast<char>('0' + top / 100000000);
    eightDigits(digits + 1, static_cast<std::uint32_t>(top % 100000000));
    eightDigits(digits + 9, static_cast<std::uint32_t>(decimal.significand % 100000000));
    // The number of digits from the significand's bit length, corrected by one comparison.
    static constexpr std::uint64_t kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000,
                                                1000000000, 10000000000, 100000000000, 1000000000000,
                                                10000000000000, 100000000000000, 1000000000000000,
                                                10000000000000000, 100000000000000000};
    const int bits = 64 - std::countl_zero(decimal.significand);
    const int estimate = bits * 1233 >> 12;
    const int count = estimate + (decimal.significand >= kPowers[estimate]);
    const char* d = digits + 17 - count;
    const int exponent = decimal.exponent + count - 1;  // of the first digit
    const int absolute = exponent < 0 ? -exponent : exponent;
    const int scientificSize = count + (count > 1) + 2 + (absolute >= 100 ? 3 : 2);
    const int fixedSize = exponent < 0 ? count + 1 - exponent : exponent >= count - 1 ? exponent + 1 : count + 1;
    if (scientificSize < fixedSize) {
        out[0] = d[0];
        out[1] = '.';
        std::memcpy(out + 2, d + 1, 16);
        out += count > 1 ? count + 1 : 1;
        return writeExponent(out, exponent);
    }
    if (exponent < 0) {
        // Fixed wins only with a few zeros after the point.
        std::memcpy(out, "0.00000000", 10);
        out += 1 - exponent;
        std::memcpy(out, d, 17);
        return out + count;
    }
    if (exponent >= count - 1) {
        if (value >= 0x1p53) {
            // Of the texts this long that read back, the exact value is the closest. Fixed
            // notation is chosen only below 10^23, which 128 bits hold exactly.
            __extension__ using Whole = unsigned __int128;
            auto whole = static_cast<Whole>(value);
            char reversed[40];
            int n = 0;
            do {
                reversed[n++] = static_cast<char>('0' + static_cast<int>(whole % 10));
                whole /= 10;
            } while (whole != 0);
            return std::reverse_copy(reversed, reversed + n, out);
        }
        // Below 2^53, so at most 16 places before the point.
        std::memcpy(out, d, 17);
        out += count;
        std::memset(out, '0', 16);
        return out + (exponent + 1 - count);
    }
    std::memcpy(out, d, 17);
    out[exponent + 1] = '.';
    std::memcpy(out + exponent + 2, d + exponent + 1, 16);
    return out + count + 1;
}

char* writeGeneral(char* first, double value, int precision)
{
    if (!std::isfinite(value))
        return first;
    precision = std::clamp(precision, 1, 17);
    char* out = first;
    if (std::signbit(value))
        *out++ = '-';
    value = std::fabs(value);
    if (value == 0) {
        *out++ = '0';
        return out;
    }
    // The value correctly rounded to `precision` digits, trailing zeros dropped: digits * 10^exponent.
    fmt::basic_memory_buffer<char, kNumberTextSize> buffer;
    // {fmt}'s own type for how a float is laid out; `general` trims the trailing zeros.
    using Layout = fmt::detail::float_specs;
    Layout layout{};
    layout.format = fmt::detail::float_format::general;
    const int exponent = fmt::detail::format_float(value, precision, layout, buffer);
    const int count = static_cast<int>(buffer.size());
    const char* digits = buffer.data();
    const int decimalExponent = exponent + count - 1;
    // printf's rule: scientific below 10^-4 and from 10^precision on, else fixed.
    if (decimalExponent < -4 || decimalExponent >= precision) {
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            out = std::copy(digits + 1, digits + count, out);
        }
        return writeExponent(out, decimalExponent);
    }
    const int point = decimalExponent + 1;
    if (point <= 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -point, '0');
        return std::copy(digits, digits + count, out);
    }
    if (point >= count) {
        out = std::copy(digits, digits + count, out);
        return std::fill_n(out, point - count, '0');
    }
    out = std::copy(digits, digits + point, out);
    *out++ = '.';
    return std::copy(digits + point, digits + count, out);
}

void appendShortest(std::string& out, double value)
{
    char buffer[kNumberTextSize];
    const char* end = writeShortest(buffer, value == 0 ? 0.0 : value);  // no "-0"
    out.append(buffer, static_cast<std::size_t>(end - buffer));  // the iterator form takes a slow path
}

std::string shortestNumber(double value)
{
    std::string text;
    appendShortest(text, value);
    return text;
}

std::string roundedNumber(double value, int digits)
{
    char buffer[kNumberTextSize];
    return {buffer, writeGeneral(buffer, value == 0 ? 0.0 : value, digits)};
}

std::optional<double> readNumber(std::string_view text)
{
    // One sign at most, then a digit or the point.
    const std::size_t start = !text.empty() && (text.front() == '+' || text.front() == '-') ? 1 : 0;
    if (text.size() <= start || !((text[start] >= '0' && text[start] <= '9') || text[start] == '.'))
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1);
    // fast_float also reads "inf" and "nan", which the first character has turned away; what
    // it reads to the end from a digit or a point is decimal digits with an optional point and
    // exponent.
    double value = 0;
    const auto result = fast_float::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    if (value == 0) {
        // Too small for a double: not the number that was written.
        for (char c : text) {
            if (c == 'e' || c == 'E')
                break;
            if (c >= '1' && c <= '9')
                return std::nullopt;
        }
    }
    return value;
}

bool isShortestText(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || !digits(whole) || !digits(fraction) || (whole.size() > 1 && whole.front() == '0'))
        return false;
    if (point != std::string_view::npos && (fraction.empty() || fraction.back() == '0'))
        return false;
    // The significant digits' count and the exponent of the first, as writeShortest takes them.
    int count = 0;
    int exponent = 0;
    if (whole == "0") {
        const std::size_t zeros = fraction.find_first_not_of('0');
        if (zeros == std::string_view::npos)
            return false;  // nought
        count = static_cast<int>(fraction.size() - zeros);
        exponent = -static_cast<int>(zeros) - 1;
    } else {
        exponent = static_cast<int>(whole.size()) - 1;
        count = fraction.empty() ? static_cast<int>(whole.find_last_not_of('0')) + 1
                                 : static_cast<int>(whole.size() + fraction.size());
    }
    // Below 10^15 a whole number is written digit for digit, as the text has it.
    if (count > 15 || exponent > 14)
        return false;
    const int absolute = exponent < 0 ? -exponent : exponent;
    const int scientificSize = count + (count > 1) + 2 + (absolute >= 100 ? 3 : 2);
    const int fixedSize = exponent < 0 ? count + 1 - exponent : exponent >= count - 1 ? exponent + 1 : count + 1;
    return fixedSize <= scientificSize;
}

}  // namespace velhorn::text
