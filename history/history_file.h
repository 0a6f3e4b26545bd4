#pragma once

#include "press/press.h"
#include "press/records.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <string>
#include <variant>
#include <vector>

// The history as a file: the command line's CSV columns, then when the press was made and which
// quantity it found; one line a press, so a press is added by appending a line.
namespace velhorn::history {

struct Entry {
    QDateTime time;  // UTC
    press::Mode found = press::Mode::M2;
    std::array<double, press::kFanColumns.size()> values{};
};

// The header and a line of the file, or with '\t' of what is copied for a spreadsheet.
[[nodiscard]] std::string csvHeader(char separator = ',');
[[nodiscard]] std::string csvLine(const Entry& entry, char separator = ',');
// The same as an HTML table, for word processors.
[[nodiscard]] std::string htmlTable(const std::vector<Entry>& entries);
[[nodiscard]] QString modeName(press::Mode mode);

// What a file's bytes hold: its entries, and where its last whole line ends (a line cut short
// by a crash lies beyond it, and is no press).
struct Contents {
    std::vector<Entry> entries;
    qint64 wholeLinesEnd = 0;
};
// The contents, or why the bytes are no history ("line 3: ...").
[[nodiscard]] std::variant<Contents, QString> readHistory(const QByteArray& bytes);

}  // namespace velhorn::history
