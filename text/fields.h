#pragma once

#include <span>
#include <string>
#include <string_view>

// Lines of fields between separators: CSV with ',', TSV with '\t'. Names and numbers hold no
// separator, quote or line feed, so no field is ever quoted.
namespace velhorn::text {

// A line of names, or of values as shortestNumber writes them, between `separator`s, ended by a
// line feed.
void appendNames(std::string& out, std::span<const std::string_view> names, char separator);
void appendValues(std::string& out, std::span<const double> values, char separator);

// A field without the blanks round it (spaces, tabs and a carriage return).
[[nodiscard]] std::string_view trimField(std::string_view text);

// Calls `each(field)` for every field of `line` between `separator`s, trimmed.
template <typename Each>
void splitFields(std::string_view line, char separator, Each each)
{
    while (true) {
        const std::size_t at = line.find(separator);
        each(trimField(line.substr(0, at)));
        if (at == std::string_view::npos)
            return;
        line.remove_prefix(at + 1);
    }
}

}  // namespace velhorn::text
