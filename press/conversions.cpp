#include "press/conversions.h"

#include "press/chars.h"
#include <cmath>
#include <cstdint>
#include <limits>

namespace velhorn::press {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Walks the text, skipping blanks between the characters it reads.
class Reader {
public:
    explicit Reader(std::u16string_view text) : text_(text) {}
    char16_t peek()
    {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : u'\0';
    }
    void advance() { ++pos_; }
    size_t position() const { return pos_; }
    void rewind(size_t pos) { pos_ = pos; }

private:
    std::u16string_view text_;
    size_t pos_ = 0;
};

}  // namespace

double parseNumber(std::u16string_view text)
{
    Reader in(text);
    std::string number;  // the characters read, in the form std::from_chars takes
    bool negative = false;
    if (in.peek() == u'+' || in.peek() == u'-') {
        negative = in.peek() == u'-';
        in.advance();
    }

    // The decimal order of the first significant digit, to tell overflow from underflow.
    std::int64_t integerDigits = 0;      // significant digits before the point
    std::int64_t leadingFractionZeros = 0;
    bool significant = false;
    bool anyDigit = false;
    for (char16_t c = in.peek(); isDigit(c); c = in.peek()) {
        significant = significant || c != u'0';
        integerDigits += significant ? 1 : 0;
        number += static_cast<char>(c);
        anyDigit = true;
        in.advance();
    }
    if (in.peek() == u'.') {
        in.advance();
        number += '.';
        for (char16_t c = in.peek(); isDigit(c); c = in.peek()) {
            if (!significant && c == u'0')
                ++leadingFractionZeros;
            significant = significant || c != u'0';
            number += static_cast<char>(c);
            anyDigit = true;
            in.advance();
        }
    }
    if (!anyDigit)
        return 0;
    if (!significant)
        return 0;

    // An exponent counts only when at least one digit follows the letter and its sign.
    std::int64_t exponent = 0;
    if (const char16_t e = in.peek(); e == u'e' || e == u'E') {
        const size_t mark = in.position();
        in.advance();
        std::string exponentText = "e";
        bool exponentNegative = false;
        if (in.peek() == u'+' || in.peek() == u'-') {
            exponentNegative = in.peek() == u'-';
            exponentText += static_cast<char>(in.peek());
            in.advance();
        }
        if (isDigit(in.peek())) {
            constexpr std::int64_t kSaturation = 1'000'000'000;
            for (char16_t c = in.peek(); isDigit(c); c = in.peek()) {
                exponent = std::min(kSaturation, exponent * 10 + (c - u'0'));
                exponentText += static_cast<char>(c);
                in.advance();
            }
            if (exponentNegative)
                exponent = -exponent;
            number += exponentText;
        } else {
            in.rewind(mark);
        }
    }

    double value = 0;
    const char* end = nullptr;
    if (chars::read(number.data(), number.data() + number.size(), value, end) == std::errc::result_out_of_range) {
        const std::int64_t order = integerDigits > 0 ? exponent + integerDigits - 1
                                                     : exponent - leadingFractionZeros - 1;
        value = order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

double roundTo3(double value)
{
    const double scaled = value * 1000;
    if (!std::isfinite(scaled))
        return value;
    return std::nearbyint(scaled) / 1000;
}

std::string displayNumber(double rounded, std::string_view decimalSeparator)
{
    if (!std::isfinite(rounded))
        return {};
    if (rounded == 0)
        rounded = 0.0;  // no "-0"
    constexpr int kSignificantDigits = 15;
    char buffer[64];
    // 64 characters always hold a 15-digit double
    char* end = chars::general(buffer, buffer + sizeof buffer, rounded, kSignificantDigits);
    std::string text;
    for (const char* c = buffer; c != end; ++c) {
        if (*c == '.')
            text += decimalSeparator;
        else if (*c == 'e')
            text += 'E';
        else
            text += *c;
    }
    return text;
}

}  // namespace velhorn::press
