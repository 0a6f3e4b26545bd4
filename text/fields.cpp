#include "text/fields.h"

#include "text/number_text.h"

#include <cstring>

namespace velhorn::text {

void appendNames(std::string& out, std::span<const std::string_view> names, char separator)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            out += separator;
        out += names[i];
    }
    out += '\n';
}

void appendValues(std::string& out, std::span<const double> values, char separator)
{
    // A row is laid out on the stack and appended whole: one copy instead of one a value.
    char line[1024];
    char* end = line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (end - line > static_cast<std::ptrdiff_t>(sizeof line - kNumberTextSize - 1)) {
            out.append(line, static_cast<std::size_t>(end - line));
            end = line;
        }
        if (i > 0)
            *end++ = separator;
        end = writeShortest(end, values[i] == 0 ? 0.0 : values[i]);  // no "-0"
    }
    *end++ = '\n';
    out.append(line, static_cast<std::size_t>(end - line));
}

void ValueRows::append(std::string& out, std::span<const double> values, char separator,
                       std::span<const std::string_view> texts)
{
    // Each text is at most 24 characters and its separator, and a write needs its room beyond.
    static_assert(kColumns * 25 + kNumberTextSize <= kLine);
    if (values.size() > kColumns) {
        appendValues(out, values, separator);
        known_ = 0;
        return;
    }
    char* const line = lines_[current_];
    const char* const before = lines_[current_ ^ 1];
    char* end = line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            *end++ = separator;
        const double value = values[i] == 0 ? 0.0 : values[i];  // no "-0"
        const std::uint64_t bits = __builtin_bit_cast(std::uint64_t, value);
        const auto start = static_cast<std::uint16_t>(end - line);
        if (i < texts.size() && !texts[i].empty()) {
            std::memcpy(end, texts[i].data(), texts[i].size());  // at most 24 characters
            end += texts[i].size();
        } else if (i < known_ && bits == bits_[i]) {
            // A fixed-size copy, which the compiler inlines; the room past the text allows it.
            std::memcpy(end, before + start_[i], 32);
            end += size_[i];
        } else {
            end = writeShortest(end, value);
        }
        bits_[i] = bits;
        start_[i] = start;
        size_[i] = static_cast<std::uint8_t>(end - line - start);
    }
    *end++ = '\n';
    out.append(line, static_cast<std::size_t>(end - line));
    known_ = values.size();
    current_ ^= 1;
}

std::string_view trimField(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace velhorn::text
