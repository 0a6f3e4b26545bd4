#pragma once

#include "cli/output.h"
#include "text/fields.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velhorn::cli {

enum class Format { Table, Csv, Tsv, Json };

// Writes records as they come, so a batch of any length needs no more memory than one row.
// A record is a few whole-number keys (a line number, a state number), a few words (a wave's
// kind), and then its values.
class RecordWriter {
public:
    RecordWriter(Output& out, Format format, int digits, std::vector<std::string_view> keys,
                 std::span<const std::string_view> columns);
    RecordWriter(Output& out, Format format, int digits, std::vector<std::string_view> keys,
                 std::vector<std::string_view> labels, std::span<const std::string_view> columns);
    void write(std::span<const long long> keys, std::span<const double> values);
    // The same, where texts[i], if not empty, is values[i]'s text for CSV and TSV already
    // (text::isShortestText), such as a number echoed from the input.
    void write(std::span<const long long> keys, std::span<const double> values,
               std::span<const std::string_view> texts);
    void write(std::span<const long long> keys, std::span<const std::string_view> labels,
               std::span<const double> values);
    // Closes the JSON array; lays out a lone table record as one quantity a line.
    void finish();

private:
    void writeHeader();
    void writeTableRow(std::span<const long long> keys, std::span<const std::string_view> labels,
                       std::span<const double> values);
    void writeVertical();

    Output& out_;
    Format format_;
    int digits_;
    std::vector<std::string_view> keys_;
    std::vector<std::string_view> labels_;
    std::span<const std::string_view> columns_;
    std::vector<int> widths_;
    text::ValueRows valueRows_;  // CSV and TSV values, a repeated one copied from the row before
    long long rows_ = 0;
    // The table's first record waits until a second one shows whether the table runs across.
    std::vector<long long> heldKeys_;
    std::vector<std::string_view> heldLabels_;
    std::vector<double> heldValues_;
};

}  // namespace velhorn::cli
