#include "history/history_file.h"

#include <string_view>

namespace velhorn::history {

std::string timeNow()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
}

std::string csvHeader(char separator)
{
    return press::recordHeader(separator);
}

std::string csvLine(const Entry& entry, char separator)
{
    return press::recordLine(entry, separator);
}

std::string htmlTable(const std::vector<Entry>& entries)
{
    return press::recordTable(entries);
}

namespace {

// One line of the file as an entry, or nothing.
std::optional<Entry> readLine(std::string_view line)
{
    const auto record = press::readRecordLine(line);
    if (!record || !QDateTime::fromString(QString::fromStdString(record->time), Qt::ISODateWithMs).isValid())
        return std::nullopt;
    return record;
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
