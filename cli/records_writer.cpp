#include "cli/records_writer.h"

#include "press/records.h"
#include "text/fields.h"
#include "text/number_text.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace velhorn::cli {

namespace {

void pad(std::string& out, std::size_t width, std::string_view text)
{
    if (text.size() < width)
        out.append(width - text.size(), ' ');
    out += text;
}

}  // namespace

RecordWriter::RecordWriter(Output& out, Format format, int digits, std::vector<std::string_view> keys,
                           std::span<const std::string_view> columns)
    : RecordWriter(out, format, digits, std::move(keys), {}, columns)
{
}

RecordWriter::RecordWriter(Output& out, Format format, int digits, std::vector<std::string_view> keys,
                           std::vector<std::string_view> labels, std::span<const std::string_view> columns)
    : out_(out), format_(format), digits_(digits), keys_(std::move(keys)), labels_(std::move(labels)), columns_(columns)
{
    // Room for a sign, a point and an exponent beside the digits.
    const std::size_t numberWidth = static_cast<std::size_t>(digits_) + 7;
    for (std::string_view key : keys_)
        widths_.push_back(static_cast<int>(std::max<std::size_t>(key.size(), 6)));
    for (std::string_view label : labels_)
        widths_.push_back(static_cast<int>(std::max<std::size_t>(label.size(), 11)));
    for (std::string_view column : columns_)
        widths_.push_back(static_cast<int>(std::max(column.size(), numberWidth)));
    if (format_ == Format::Csv || format_ == Format::Tsv)
        writeHeader();
    else if (format_ == Format::Json)
        out_.buffer() += '[';
}

void RecordWriter::writeHeader()
{
    std::vector<std::string_view> names = keys_;
    names.insert(names.end(), labels_.begin(), labels_.end());
    names.insert(names.end(), columns_.begin(), columns_.end());
    if (format_ != Format::Table) {
        text::appendNames(out_.buffer(), names, format_ == Format::Csv ? ',' : '\t');
        return;
    }
    std::string& out = out_.buffer();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            out += "  ";
        pad(out, static_cast<std::size_t>(widths_[i]), names[i]);
    }
    out += '\n';
}

void RecordWriter::write(std::span<const long long> keys, std::span<const double> values)
{
    write(keys, {}, values);
}

void RecordWriter::write(std::span<const long long> keys, std::span<const double> values,
                         std::span<const std::string_view> texts)
{
    if (format_ != Format::Csv && format_ != Format::Tsv) {
        write(keys, {}, values);
        return;
    }
    std::string& out = out_.buffer();
    const char separator = format_ == Format::Csv ? ',' : '\t';
    for (long long key : keys) {
        out += std::to_string(key);
        out += separator;
    }
    valueRows_.append(out, values, separator, texts);
    ++rows_;
    out_.maybeFlush();
}

void RecordWriter::write(std::span<const long long> keys, std::span<const std::string_view> labels,
                         std::span<const double> values)
{
    std::string& out = out_.buffer();
    switch (format_) {
    case Format::Csv:
    case Format::Tsv: {
        const char separator = format_ == Format::Csv ? ',' : '\t';
        for (long long key : keys) {
            out += std::to_string(key);
            out += separator;
        }
        for (std::string_view label : labels) {
            out += label;  // words of the program's own, with no separator or quote in them
            out += separator;
        }
        valueRows_.append(out, values, separator);
        break;
    }
    case Format::Json: {
        nlohmann::ordered_json record;
        for (std::size_t i = 0; i < keys.size(); ++i)
            record[std::string(keys_[i])] = keys[i];
        for (std::size_t i = 0; i < labels.size(); ++i)
            record[std::string(labels_[i])] = labels[i];
        for (std::size_t i = 0; i < values.size(); ++i)
            record[std::string(columns_[i])] = values[i];
        out += rows_ == 0 ? "\n" : ",\n";
        out += record.dump();
        break;
    }
    case Format::Table:
        if (rows_ == 0) {
            heldKeys_.assign(keys.begin(), keys.end());
            heldLabels_.assign(labels.begin(), labels.end());
            heldValues_.assign(values.begin(), values.end());
        } else {
            if (rows_ == 1) {
                writeHeader();
                writeTableRow(heldKeys_, heldLabels_, heldValues_);
            }
            writeTableRow(keys, labels, values);
        }
        break;
    }
    ++rows_;
    out_.maybeFlush();
}

void RecordWriter::writeTableRow(std::span<const long long> keys, std::span<const std::string_view> labels,
                                 std::span<const double> values)
{
    std::string& out = out_.buffer();
    std::size_t i = 0;
    for (long long key : keys) {
        if (i > 0)
            out += "  ";
        pad(out, static_cast<std::size_t>(widths_[i++]), std::to_string(key));
    }
    for (std::string_view label : labels) {
        if (i > 0)
            out += "  ";
        pad(out, static_cast<std::size_t>(widths_[i++]), label);
    }
    for (double value : values) {
        if (i > 0)
            out += "  ";
        pad(out, static_cast<std::size_t>(widths_[i++]), text::roundedNumber(value, digits_));
    }
    out += '\n';
}

void RecordWriter::writeVertical()
{
    std::string& out = out_.buffer();
    std::size_t nameWidth = 0;
    for (std::string_view name : keys_)
        nameWidth = std::max(nameWidth, name.size());
    for (std::string_view name : labels_)
        nameWidth = std::max(nameWidth, name.size());
    for (std::string_view name : columns_)
        nameWidth = std::max(nameWidth, name.size());
    const auto line = [&](std::string_view name, const std::string& value) {
        out += name;
        out.append(nameWidth + 2 - name.size(), ' ');
        out += value;
        out += '\n';
    };
    for (std::size_t i = 0; i < heldKeys_.size(); ++i)
        line(keys_[i], std::to_string(heldKeys_[i]));
    for (std::size_t i = 0; i < heldLabels_.size(); ++i)
        line(labels_[i], std::string(heldLabels_[i]));
    for (std::size_t i = 0; i < heldValues_.size(); ++i)
        line(columns_[i], text::roundedNumber(heldValues_[i], digits_));
}

void RecordWriter::finish()
{
    if (format_ == Format::Json)
        out_.buffer() += rows_ == 0 ? "]\n" : "\n]\n";
    else if (format_ == Format::Table && rows_ == 1)
        writeVertical();
    out_.flush();
}

}  // namespace velhorn::cli
