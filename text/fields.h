#pragma once

#include <cstddef>
#include <cstdint>
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

// Rows of values one after another, each as appendValues writes it; a value the same as the one
// in its column of the row before takes that row's text again instead of being written anew
// (a batch's gamma, a sweep's fixed M).
class ValueRows {
public:
    // texts[i], where there is one and it is not empty, is values[i]'s text already, as
    // isShortestText tells of a number's text read from input.
    void append(std::string& out, std::span<const double> values, char separator,
                std::span<const std::string_view> texts = {});

private:
    static constexpr std::size_t kColumns = 32;
    static constexpr std::size_t kLine = 1024;  // room for kColumns texts and a copy's overrun
    char lines_[2][kLine];                      // this row's text and the row before's
    int current_ = 0;
    std::size_t known_ = 0;                     // columns the row before had
    std::uint64_t bits_[kColumns];
    std::uint16_t start_[kColumns];
    std::uint8_t size_[kColumns];
};

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
