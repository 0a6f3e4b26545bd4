#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velhorn::text {

// An HTML table of a header row of names and rows of cells, for word processors. Names and
// numbers hold no character HTML treats specially.
[[nodiscard]] std::string htmlTable(std::span<const std::string_view> names,
                                    const std::vector<std::vector<std::string>>& rows);

}  // namespace velhorn::text
