// A batch as any bytes: the first line read as a header, every other line as a case under it,
// and each case solved. A case either has a fan whose every value is finite or a reason; the
// reader never reads past a line and never crashes.
#include "cli/batch.h"
#include "press/records.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

using namespace velhorn;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t end = input.find('\n');
    const auto header = cli::readBatchHeader(input.substr(0, end));
    if (end == std::string_view::npos || !std::holds_alternative<cli::BatchLayout>(header))
        return 0;
    const auto& layout = std::get<cli::BatchLayout>(header);
    input.remove_prefix(end + 1);
    while (!input.empty()) {
        const std::size_t next = input.find('\n');
        const std::string_view line = input.substr(0, next);
        input.remove_prefix(next == std::string_view::npos ? input.size() : next + 1);
        if (cli::isBlankOrComment(line))
            continue;
        const auto parsed = cli::readBatchCase(layout, line);
        if (!std::holds_alternative<cli::BatchCase>(parsed))
            continue;
        const auto& c = std::get<cli::BatchCase>(parsed);
        try {
            const flow::Gas gas(c.gamma.value_or(1.4));
            const auto fan = flow::solveFan(gas, c.upstream, c.downstream, c.theta);
            if (const auto* f = std::get_if<flow::Fan>(&fan)) {
                for (double value : press::fanValues(*f)) {
                    if (!std::isfinite(value)) {
                        std::fprintf(stderr, "a solved case printed a non-finite value: %.*s\n",
                                     static_cast<int>(line.size()), line.data());
                        std::abort();
                    }
                }
            } else {
                (void)press::problemText(std::get<flow::Problem>(fan), 6);
            }
        } catch (const std::invalid_argument&) {
            // a gamma the gas refuses: reported as the line's reason
        }
    }
    return 0;
}
