#include "history/history_file.h"

#include <string_view>

namespace velhorn::history {

namespace {

constexpr std::string_view kTimeColumn = "time_utc";
constexpr std::string_view kFoundColumn = "found";
constexpr std::size_t kFields = press::kFanColumns.size() + 2;

}  // namespace

QString modeName(press::Mode mode)
{
    switch (mode) {
    case press::Mode::M1: return QStringLiteral("M1");
    case press::Mode::Teta: return QStringLiteral("Teta");
    case press::Mode::M2: return QStringLiteral("M2");
    }
    return {};
}

namespace {

std::vector<std::string_view> columnNames()
{
    std::vector<std::string_view> names(press::kFanColumns.begin(), press::kFanColumns.end());
    names.push_back(kTimeColumn);
    names.push_back(kFoundColumn);
    return names;
}

std::string timeText(const Entry& entry)
{
    return entry.time.toUTC().toString(Qt::ISODateWithMs).toStdString();
}

}  // namespace

std::string csvHeader(char separator)
{
    std::string header;
    press::appendNames(header, columnNames(), separator);
    return header;
}

std::string csvLine(const Entry& entry, char separator)
{
    std::string line;
    press::appendValues(line, entry.values, separator);
    line.back() = separator;
    line += timeText(entry);
    line += separator;
    line += modeName(entry.found).toStdString();
    line += '\n';
    return line;
}

std::string htmlTable(const std::vector<Entry>& entries)
{
    std::vector<std::vector<std::string>> rows;
    for (const Entry& entry : entries) {
        std::vector<std::string> cells;
        for (double value : entry.values)
            cells.push_back(press::shortestNumber(value));
        cells.push_back(timeText(entry));
        cells.push_back(modeName(entry.found).toStdString());
        rows.push_back(std::move(cells));
    }
    return press::htmlTable(columnNames(), rows);
}

std::variant<Contents, QString> readHistory(const QByteArray& bytes)
{
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const std::string header = csvHeader();
    if (text.size() < header.size() && std::string_view(header).starts_with(text))
        return Contents{};  // nothing yet, or a header cut short as it was first written
    if (!text.starts_with(header))
        return QStringLiteral("line 1 is not the header of a Velhorn history");
    Contents contents;
    std::size_t at = header.size();
    for (int number = 2;; ++number) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            break;  // whatever follows the last line feed was cut short
        const std::string_view line = text.substr(at, end - at);
        const auto bad = [number](const char* why) { return QStringLiteral("line %1: %2").arg(number).arg(QLatin1String(why)); };
        Entry entry;
        std::size_t field = 0;
        std::size_t from = 0;
        while (from <= line.size()) {
            const std::size_t comma = std::min(line.find(',', from), line.size());
            const std::string_view value = line.substr(from, comma - from);
            if (field < entry.values.size()) {
                const auto number = press::readNumber(value);
                if (!number)
                    return bad("a value is not a number");
                entry.values[field] = *number;
            } else if (field == entry.values.size()) {
                entry.time = QDateTime::fromString(QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size())),
                                                   Qt::ISODateWithMs);
                if (!entry.time.isValid())
                    return bad("the time is not a time");
            } else if (field == entry.values.size() + 1) {
                if (value == "M1")
                    entry.found = press::Mode::M1;
                else if (value == "Teta")
                    entry.found = press::Mode::Teta;
                else if (value == "M2")
                    entry.found = press::Mode::M2;
                else
                    return bad("the quantity found is none of M1, Teta and M2");
            }
            ++field;
            from = comma + 1;
        }
        if (field != kFields)
            return bad("the line does not have the history's columns");
        contents.entries.push_back(entry);
        at = end + 1;
    }
    contents.wholeLinesEnd = static_cast<qint64>(at);
    return contents;
}

}  // namespace velhorn::history
