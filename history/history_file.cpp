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

namespace {

// One line of the file as an entry, or nothing.
std::optional<Entry> readLine(std::string_view line)
{
    Entry entry;
    std::size_t field = 0;
    std::size_t from = 0;
    while (from <= line.size()) {
        const std::size_t comma = std::min(line.find(',', from), line.size());
        const std::string_view value = line.substr(from, comma - from);
        if (field < entry.values.size()) {
            const auto number = press::readNumber(value);
            if (!number)
                return std::nullopt;
            entry.values[field] = *number;
        } else if (field == entry.values.size()) {
            entry.time = QDateTime::fromString(QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size())),
                                               Qt::ISODateWithMs);
            if (!entry.time.isValid())
                return std::nullopt;
        } else if (field == entry.values.size() + 1) {
            if (value == "M1")
                entry.found = press::Mode::M1;
            else if (value == "Teta")
                entry.found = press::Mode::Teta;
            else if (value == "M2")
                entry.found = press::Mode::M2;
            else
                return std::nullopt;
        }
        ++field;
        from = comma + 1;
    }
    if (field != kFields)
        return std::nullopt;
    return entry;
}

}  // namespace

std::variant<qint64, QString> checkHistory(const QByteArray& head, const QByteArray& tail, qint64 size)
{
    const std::string header = csvHeader();
    const std::string_view start(head.constData(), static_cast<std::size_t>(head.size()));
    if (size < static_cast<qint64>(header.size()) && std::string_view(header).starts_with(start))
        return qint64{0};  // nothing yet, or a header cut short as it was first written
    if (!start.starts_with(header))
        return QStringLiteral("its first line is not the header of a Velhorn history");
    const qsizetype lastLineFeed = tail.lastIndexOf('\n');
    if (lastLineFeed < 0)
        return QStringLiteral("its last lines are far longer than a press");
    return size - tail.size() + lastLineFeed + 1;
}

std::vector<Entry> readHistory(const QByteArray& bytes)
{
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    std::vector<Entry> entries;
    const std::string header = csvHeader();
    if (!text.starts_with(header))
        return entries;
    for (std::size_t at = header.size(), end; (end = text.find('\n', at)) != std::string_view::npos; at = end + 1) {
        if (const auto entry = readLine(text.substr(at, end - at)))
            entries.push_back(*entry);
    }
    return entries;
}

}  // namespace velhorn::history
