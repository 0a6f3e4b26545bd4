// The desktop's press for the page's differential test: one JSON array a line in,
// [mode, M1, Teta, M2, separator] with mode -1 for none chosen; one JSON object a line out with
// the boxes' new texts (null where a box is left alone), the output box, the message and what
// the chart says.
#include "press/press.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <string>

namespace {

std::u16string utf16(const std::string& utf8)
{
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
        char32_t code = extra == 0 ? byte : byte & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += extra + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

}  // namespace

int main()
{
    const velhorn::flow::ExpansionFan fan;
    std::string line;
    while (std::getline(std::cin, line)) {
        const auto in = nlohmann::json::parse(line);
        const int mode = in[0];
        const std::u16string M1 = utf16(in[1]), Teta = utf16(in[2]), M2 = utf16(in[3]);
        std::optional<velhorn::press::Mode> chosen;
        if (mode >= 0)
            chosen = static_cast<velhorn::press::Mode>(mode);
        const std::string separator = in[4];
        const auto outcome = velhorn::press::press(fan, chosen, {M1, Teta, M2}, separator);
        nlohmann::json out;
        out["boxes"] = nlohmann::json::array();
        for (const auto& box : outcome.boxes)
            out["boxes"].push_back(box ? nlohmann::json(*box) : nlohmann::json());
        out["output"] = outcome.output ? static_cast<int>(*outcome.output) : -1;
        out["message"] = outcome.message ? nlohmann::json(*outcome.message) : nlohmann::json();
        out["redraw"] = outcome.redrawChart;
        out["description"] = velhorn::press::describeChart(outcome.states, separator);
        std::cout << out.dump() << '\n';
    }
}
