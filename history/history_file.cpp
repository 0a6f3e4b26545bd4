#include "history/history_file.h"

#include <string_view>

namespace velhorn::history {

namespace {

constexpr std::size_t kFields = press::kFanColumns.size() + 2;

press::PressRecord record(const Entry& entry)
{
    return {entry.values, entry.time.toUTC().toString(Qt::ISODateWithMs).toStdString(), entry.found};
}

}  // namespace

std::string csvHeader(char separator)
{
    return press::recordHeader(separator);
}

std::string csvLine(const Entry& entry, char separator)
{
    return press::recordLine(record(entry), separator);
}

std::string htmlTable(const std::vector<Entry>& entries)
{
    std::vector<press::PressRecord> records;
    for (const Entry& entry : entries)
        records.push_back(record(entry));
    return press::recordTable(records);
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
    if (text.starts_with(header))
        appendEntries(entries, text.substr(header.size()));
    return entries;
}

void appendEntries(std::vector<Entry>& entries, std::string_view lines)
{
    for (std::size_t at = 0, end; (end = lines.find('\n', at)) != std::string_view::npos; at = end + 1) {
        if (const auto entry = readLine(lines.substr(at, end - at)))
            entries.push_back(*entry);
    }
}

}  // namespace velhorn::history
