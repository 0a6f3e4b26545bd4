#include "text/box_text.h"

#include "text/number_text.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <cmath>

namespace velhorn::text {

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
    std::string number;  // the characters read, in the form fast_float takes
    bool negative = false;
    if (in.peek() == u'+' || in.peek() == u'-') {
        negative = in.peek() == u'-';
        in.advance();
    }

    bool significant = false;
    bool anyDigit = false;
    for (char16_t c = in.peek(); isDigit(c); c = in.peek()) {
        significant = significant || c != u'0';
        number += static_cast<char>(c);
        anyDigit = true;
        in.advance();
    }
    if (in.peek() == u'.') {
        in.advance();
        number += '.';
        for (char16_t c = in.peek(); isDigit(c); c = in.peek()) {
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
    if (const char16_t e = in.peek(); e == u'e' || e == u'E') {
        const size_t mark = in.position();
        in.advance();
        std::string exponentText = "e";
        if (in.peek() == u'+' || in.peek() == u'-') {
            exponentText += static_cast<char>(in.peek());
            in.advance();
        }
        if (isDigit(in.peek())) {
            for (char16_t c = in.peek(); isDigit(c); c = in.peek()) {
                exponentText += static_cast<char>(c);
                in.advance();
            }
            number += exponentText;
        } else {
            in.rewind(mark);
        }
    }

    // Beyond the double range fast_float gives an infinity, below it zero, as the box wants.
    double value = 0;
    fast_float::from_chars(number.data(), number.data() + number.size(), value);
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
    char buffer[kNumberTextSize];
    char* end = writeGeneral(buffer, rounded, kSignificantDigits);
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

}  // namespace velhorn::text
