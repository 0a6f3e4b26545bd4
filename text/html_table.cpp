#include "text/html_table.h"

namespace velhorn::text {

std::string htmlTable(std::span<const std::string_view> names, const std::vector<std::vector<std::string>>& rows)
{
    std::string html = "<table>\n<tr>";
    for (std::string_view name : names)
        html += "<th>" + std::string(name) + "</th>";
    html += "</tr>\n";
    for (const auto& row : rows) {
        html += "<tr>";
        for (const std::string& cell : row)
            html += "<td>" + cell + "</td>";
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

}  // namespace velhorn::text
