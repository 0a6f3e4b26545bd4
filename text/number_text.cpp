#include "text/number_text.h"

#include <fast_float/fast_float.h>
#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace velhorn::text {

namespace {

// The decimal digits of `n`, most significant first; how many.
int digitsOf(std::uint64_t n, char* out)
{
    char reversed[20];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    std::reverse_copy(reversed, reversed + count, out);
    return count;
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
    // The shortest digits that read back (Dragonbox): value = digits * 10^exponent.
    const auto decimal = fmt::detail::dragonbox::to_decimal(value);
    char digits[20];
    const int count = digitsOf(decimal.significand, digits);
    const int point = count + decimal.exponent;  // digits before the decimal point, when positive
    const int scientificLength = count + (count > 1 ? 1 : 0) + (std::abs(point - 1) >= 100 ? 5 : 4);
    const int fixedLength = point <= 0 ? 2 - point + count : point >= count ? point : count + 1;
    if (scientificLength < fixedLength) {
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            out = std::copy(digits + 1, digits + count, out);
        }
        return writeExponent(out, point - 1);
    }
    if (point <= 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -point, '0');
        return std::copy(digits, digits + count, out);
    }
    if (point >= count) {
        // A whole number: of the texts this long that read back, the exact value is the closest.
        // Fixed notation is chosen only below 10^23, which 128 bits hold exactly.
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
    out = std::copy(digits, digits + point, out);
    *out++ = '.';
    return std::copy(digits + point, digits + count, out);
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
    fmt::detail::float_specs specs{};
    specs.format = fmt::detail::float_format::general;
    const int exponent = fmt::detail::format_float(value, precision, specs, buffer);
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
    out.append(buffer, writeShortest(buffer, value == 0 ? 0.0 : value));  // no "-0"
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
    // fast_float also reads "inf" and "nan"; a number here is decimal digits with an optional
    // point and exponent.
    bool nonzeroDigit = false;
    bool inExponent = false;
    for (char c : text) {
        const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-' || c == '+';
        if (!allowed)
            return std::nullopt;
        inExponent = inExponent || c == 'e' || c == 'E';
        nonzeroDigit = nonzeroDigit || (!inExponent && c >= '1' && c <= '9');
    }
    double value = 0;
    const auto result = fast_float::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    if (value == 0 && nonzeroDigit)
        return std::nullopt;  // too small for a double: not the number that was written
    return value;
}

}  // namespace velhorn::text
