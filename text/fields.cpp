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
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += separator;
        appendShortest(out, values[i]);
    }
    out += '\n';
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
