#include "press/chars.h"

#include <charconv>

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

char* shortest(char* first, char* last, double value)
{
    return std::to_chars(first, last, value).ptr;
}

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
