// A whole press of the calculate button: a mode and two typed texts in; the seven box texts
// and any message out. Every box shows a well-formed number or what the user typed, every
// message is one the program knows, and the same input always gives the same output.
#include "press/press.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

using namespace velhorn::press;

namespace {

[[noreturn]] void fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

bool sameOutcome(const Outcome& a, const Outcome& b)
{
    return a.boxes == b.boxes && a.message == b.message && a.markers == b.markers && a.output == b.output;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    static const velhorn::flow::ExpansionFan fan;
    const Mode mode = static_cast<Mode>(data[0] % 3);
    // The rest is two typed texts, split at the first '|', a character a byte (parse_fuzz feeds
    // the parser every UTF-16 code unit).
    const std::u16string texts(data + 1, data + size);
    const std::size_t split = texts.find(u'|');
    const std::u16string first = texts.substr(0, split);
    const std::u16string second = split == std::u16string::npos ? std::u16string() : texts.substr(split + 1);
    // The two inputs of each mode, as the window reads them.
    Typed typed;
    switch (mode) {
    case Mode::M1: typed = {u"", second, first}; break;
    case Mode::Teta: typed = {first, u"", second}; break;
    case Mode::M2: typed = {first, second, u""}; break;
    }

    const Outcome outcome = press(fan, mode, typed, ".");
    if (!sameOutcome(press(fan, mode, typed, "."), outcome))
        fail("same input, different output", std::string(first.begin(), first.end()));

    static const std::regex number(R"((-?\d+(\.\d{1,3})?|-?\d(\.\d+)?E[+-]\d+)?)");
    static const std::regex known(
        "Choose an output option|M2 must be greater then 1|M1 and M2 must be greater then 1|"
        "M1 must be greater then 1|(M1|M2|Teta) is too large to calculate with|p2/p1 is too large to show|"
        "No (M1|M2) gives Teta = \\S+ with (M1|M2) = \\S+\\. Teta must lie between \\S+ and \\S+\\.");
    const std::size_t outputBox = static_cast<std::size_t>(mode);
    for (std::size_t i = 0; i < kBoxCount; ++i) {
        const bool input = i < 3 && i != outputBox;
        if (input && outcome.boxes[i])
            fail("an input box is written", *outcome.boxes[i]);
        if (!input && outcome.boxes[i] && !std::regex_match(*outcome.boxes[i], number))
            fail("box shows no well-formed number", *outcome.boxes[i]);
    }
    if (outcome.message && !std::regex_match(*outcome.message, known))
        fail("unknown message", *outcome.message);
    if (!outcome.message)
        for (std::size_t i : {outputBox, std::size_t{3}, std::size_t{4}, std::size_t{5}, std::size_t{6}})
            if (!outcome.boxes[i] || outcome.boxes[i]->empty())
                fail("a result is missing, and no message says why", std::to_string(i));
    return 0;
}
