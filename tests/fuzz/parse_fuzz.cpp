// Any text at all goes through the parse, round and display of one box: no crash, no
// undefined behaviour, and what comes out is a number as the boxes show them.
#include "text/box_text.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

using namespace velhorn::text;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Bytes pair up into UTF-16 code units, so every character a box can hold is reachable.
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));

    const double value = parseNumber(text);
    if (std::isnan(value) || parseNumber(text) != value)
        std::abort();
    const std::string shown = displayNumber(roundTo3(value), ".");
    static const std::regex wellFormed(R"(^(-?\d+(\.\d{1,3})?|-?\d(\.\d+)?E[+-]\d+)?$)");
    if (!std::regex_match(shown, wellFormed))
        std::abort();
    if (std::isfinite(value) != !shown.empty())
        std::abort();
    return 0;
}
