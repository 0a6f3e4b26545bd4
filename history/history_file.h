#pragma once

#include "press/press.h"
#include "press/records.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <string>
#include <optional>
#include <variant>
#include <vector>

// The history as a file: the command line's CSV columns, then when the press was made and which
// quantity it found; one line a press, so a press is added by appending a line.
namespace velhorn::history {

// A press kept: the record that Copy results and the command line's columns share, its time
// in ISO 8601 UTC with milliseconds.
using Entry = press::PressRecord;
// The time of a record made now.
[[nodiscard]] std::string timeNow();

// The header and a line of the file, or with '\t' of what is copied for a spreadsheet.
[[nodiscard]] std::string csvHeader(char separator = ',');
[[nodiscard]] std::string csvLine(const Entry& entry, char separator = ',');
// The same as an HTML table, for word processors.
[[nodiscard]] std::string htmlTable(const std::vector<Entry>& entries);

// Whether a file is a history, from its two ends alone, so that starting takes no longer however
// long the history grows: `head`, its first bytes (a header's worth or more), and `tail`, its last
// bytes, which end at `size`. Where its last whole line ends (a line cut short by a crash lies
// beyond it, and is no press), or why the file is no history.
[[nodiscard]] std::variant<qint64, QString> checkHistory(const QByteArray& head, const QByteArray& tail, qint64 size);

// Every entry of a history's bytes, leaving out any line that does not read as one.
[[nodiscard]] std::vector<Entry> readHistory(const QByteArray& bytes);
// The same for whole lines that follow the header, as a history read in pieces gives them.
void appendEntries(std::vector<Entry>& entries, std::string_view lines);

}  // namespace velhorn::history
