#pragma once

#include "history/history_file.h"

#include <QDialog>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

class QTableView;

namespace velhorn::history {

class History;
class EntriesModel;

// Every press that found a result, newest last, with what can be done with them: copy the rows
// chosen (or all), save them all as CSV. The file is read on a thread of its own, so a long
// history shows its first rows at once; presses made while it is open are added as they come.
class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    using MessageBox = std::function<void(const QString& text)>;
    using SaveDialog = std::function<QString()>;  // the path chosen, or empty
    HistoryWindow(History& history, MessageBox messageBox, QWidget* parent = nullptr);
    ~HistoryWindow() override;

    // Reads the history afresh from its file.
    void reload();
    // Whether the file is still being read.
    [[nodiscard]] bool loading() const { return loader_.joinable() && !loaded_; }
    [[nodiscard]] QTableView* table() const { return table_; }
    [[nodiscard]] const std::vector<Entry>& entries() const;

    void copy();
    // Saves every entry as CSV to `path`, telling the user when that fails.
    void saveCsv(const QString& path);
    void setSaveDialog(SaveDialog dialog) { saveDialog_ = std::move(dialog); }

private:
    void stopLoading();
    void fitColumnsToHeaders();

    History& history_;
    MessageBox messageBox_;
    SaveDialog saveDialog_;
    QString lastSaveFolder_;
    EntriesModel* model_;
    QTableView* table_;
    std::thread loader_;
    std::atomic<bool> cancelled_ = false;
    bool loaded_ = false;
    int generation_ = 0;  // which reading a batch of rows belongs to
    mutable std::vector<Entry> newRows_;  // presses made since, not yet in the table
    QTimer newRowsTimer_;
    static constexpr std::chrono::milliseconds kNewRowsInterval{100};
};

}  // namespace velhorn::history
