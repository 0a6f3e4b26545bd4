#pragma once

#include "history/history_file.h"

#include <QWidget>

#include <functional>
#include <vector>

class QPushButton;
class QTableView;

namespace velhorn::history {

class History;
class EntriesModel;

// Every press that found a result, newest last, with what can be done with them: copy the rows
// chosen (or all), save them all as CSV, clear them.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    using MessageBox = std::function<void(const QString& text)>;
    using SaveDialog = std::function<QString()>;  // the path chosen, or empty
    HistoryWindow(History& history, MessageBox messageBox, QWidget* parent = nullptr);
    ~HistoryWindow() override;

    // Reads the history afresh from its file.
    void reload();
    [[nodiscard]] QTableView* table() const { return table_; }
    [[nodiscard]] const std::vector<Entry>& entries() const;

    void copy();
    // Saves every entry as CSV to `path`, telling the user when that fails.
    void saveCsv(const QString& path);
    void setSaveDialog(SaveDialog dialog) { saveDialog_ = std::move(dialog); }

private:
    History& history_;
    MessageBox messageBox_;
    SaveDialog saveDialog_;
    EntriesModel* model_;
    QTableView* table_;
};

}  // namespace velhorn::history
