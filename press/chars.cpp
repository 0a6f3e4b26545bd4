#include "press/chars.h"

#include <charconv>

#if defined(VELHORN_DRAGONBOX)
#include <fmt/format.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#endif

#if !defined(__cpp_lib_to_chars)
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#endif

namespace velhorn::press::chars {

#if defined(__cpp_lib_to_chars)

char* general(char* first, char* last, double value, int precision)
{
    return std::to_chars(first, last, value, std::chars_format::general, precision).ptr;
}

#if defined(VELHORN_DRAGONBOX)

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

}  // namespace

// std::to_chars's text from Dragonbox's digits, which it finds in well under half the time of
// GCC 12's Ryu; a batch writes a dozen or more of them a row. The layout is the standard's: fixed
// or scientific, whichever is shorter, fixed on a tie.
char* shortest(char* first, char* last, double value)
{
    if (!std::isfinite(value) || value == 0 || last - first < 40)
        return std::to_chars(first, last, value).ptr;
    const auto decimal = fmt::detail::dragonbox::to_decimal(value);
    // All 17 places at once, leading zeros and all, in independent 8-digit halves; the room
    // after them lets every copy below be of a fixed size, which the compiler inlines.
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
    // A fixed text past 2^53 gets the double's exact digits, not zeros after the shortest ones.
    if (scientificSize >= fixedSize && exponent >= count && std::fabs(value) >= 0x1p53)
        return std::to_chars(first, last, value).ptr;
    // At most 24 characters; the fixed-size copies may write up to 34.
    char* out = first;
    if (value < 0)
        *out++ = '-';
    if (scientificSize < fixedSize) {
        out[0] = d[0];
        out[1] = '.';
        std::memcpy(out + 2, d + 1, 16);
        out += count > 1 ? count + 1 : 1;
        out[0] = 'e';
        out[1] = exponent < 0 ? '-' : '+';
        out += 2;
        if (absolute >= 100)
            *out++ = static_cast<char>('0' + absolute / 100);
        out[0] = static_cast<char>('0' + absolute / 10 % 10);
        out[1] = static_cast<char>('0' + absolute % 10);
        out += 2;
    } else if (exponent < 0) {
        // Fixed wins only with a few zeros after the point.
        std::memcpy(out, "0.00000000", 10);
        out += 1 - exponent;
        std::memcpy(out, d, 17);
        out += count;
    } else if (exponent >= count - 1) {
        // Below 2^53, so at most 16 places before the point.
        std::memcpy(out, d, 17);
        out += count;
        std::memset(out, '0', 16);
        out += exponent + 1 - count;
    } else {
        std::memcpy(out, d, 17);
        out[exponent + 1] = '.';
        std::memcpy(out + exponent + 2, d + exponent + 1, 16);
        out += count + 1;
    }
    return out;
}

#else

char* shortest(char* first, char* last, double value)
{
    return std::to_chars(first, last, value).ptr;
}

#endif

std::errc read(const char* first, const char* last, double& value, const char*& end)
{
    const auto result = std::from_chars(first, last, value);
    end = result.ptr;
    return result.ec;
}

#else

namespace {

char* copy(char* first, char* last, const char* text, std::size_t size)
{
    const std::size_t n = std::min(size, static_cast<std::size_t>(last - first));
    std::memcpy(first, text, n);
    return first + n;
}

}  // namespace

char* general(char* first, char* last, double value, int precision)
{
    char text[64];
    const int size = std::snprintf(text, sizeof text, "%.*g", precision, value);
    return copy(first, last, text, static_cast<std::size_t>(size));
}

// The fewest digits that read back, then fixed or scientific notation, whichever is shorter
// (fixed on a tie), as std::to_chars chooses.
char* shortest(char* first, char* last, double value)
{
    char scientific[40];
    int digits = 1;
    for (; digits < 17; ++digits) {
        std::snprintf(scientific, sizeof scientific, "%.*e", digits - 1, value);
        if (std::strtod(scientific, nullptr) == value)
            break;
    }
    std::snprintf(scientific, sizeof scientific, "%.*e", digits - 1, value);
    const char* e = std::strchr(scientific, 'e');
    const int exponent = std::atoi(e + 1);
    std::string mantissa;  // the digits alone
    for (const char* c = scientific; c != e; ++c)
        if (*c >= '0' && *c <= '9')
            mantissa += *c;
    const bool negative = value < 0;

    std::string fixed = negative ? "-" : "";
    if (exponent < 0) {
        fixed += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
    } else if (static_cast<std::size_t>(exponent) + 1 >= mantissa.size()) {
        fixed += mantissa + std::string(static_cast<std::size_t>(exponent) + 1 - mantissa.size(), '0');
    } else {
        fixed += mantissa.substr(0, static_cast<std::size_t>(exponent) + 1) + "." +
                 mantissa.substr(static_cast<std::size_t>(exponent) + 1);
    }
    std::string sci = std::string(negative ? "-" : "") + mantissa.substr(0, 1);
    if (mantissa.size() > 1)
        sci += "." + mantissa.substr(1);
    char tail[8];
    std::snprintf(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    sci += tail;
    const std::string& best = sci.size() < fixed.size() ? sci : fixed;
    return copy(first, last, best.data(), best.size());
}

std::errc read(const char* first, const char* last, double& value, const char*& end)
{
    const std::string text(first, last);
    char* stop = nullptr;
    errno = 0;
    const double read = std::strtod(text.c_str(), &stop);
    end = first + (stop - text.c_str());
    if (end == first)
        return std::errc::invalid_argument;
    if (errno == ERANGE)
        return std::errc::result_out_of_range;
    value = read;
    return std::errc();
}

#endif

}  // namespace velhorn::press::chars
