#include "text/fields.h"

#include "text/number_text.h"

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
