#pragma once

#include "history/history_file.h"

#include <vector>

namespace velhorn::history {

// Puts entries on the clipboard as a spreadsheet pastes them (tab-separated, a header line with
// units, full precision with a point) and as an HTML table for word processors.
void copyToClipboard(const std::vector<Entry>& entries);

}  // namespace velhorn::history
