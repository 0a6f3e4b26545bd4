#pragma once

#include "history/history_file.h"

#include <QFile>
#include <QObject>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace velhorn::history {

// Every press that found a result, kept in a file that outlives the program. Each press is
// appended and forced to disk by a writer thread once the presses pause for a moment, so a press
// never waits for the disk and a crash or power cut costs at most the press being written. The
// file is the history: nothing of it is kept in memory between reads.
class History : public QObject {
    Q_OBJECT
public:
    // Reads `path`. A file that holds no history is set aside under another name and the
    // history starts empty; startupMessage() says so.
    explicit History(QString path, QObject* parent = nullptr);
    ~History() override;  // finishes what the writer has in hand

    // The file in the XDG data folder: $XDG_DATA_HOME/velhorn/history.csv.
    [[nodiscard]] static QString defaultPath();
    [[nodiscard]] const QString& path() const { return path_; }

    // What the user must be told about the file found at start, once.
    [[nodiscard]] std::optional<QString> takeStartupMessage();

    void add(const Entry& entry);
    void clear();
    // Every entry, oldest first, once the writer has written what it was given.
    [[nodiscard]] std::vector<Entry> entries();

signals:
    // The history cannot be kept; emitted once, on the thread that made the History.
    void cannotSave(const QString& message);
    void changed();

private:
    void setAside(QFile& file, const QString& reason);
    void writeJobs();
    [[nodiscard]] std::optional<QString> openForAppending();
    [[nodiscard]] std::optional<QString> write(bool clear, const std::string& lines);
    void waitUntilWritten();

    QString path_;
    std::optional<QString> startupMessage_;
    bool keeping_ = true;  // false once the file cannot be written or was not ours to write
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    // What the writer has yet to do: empty the file first, then append these lines.
    bool clearPending_ = false;
    std::string pending_;
    bool busy_ = false;
    bool writeNow_ = false;  // someone waits to read the file
    std::chrono::steady_clock::time_point lastAdded_;
    static constexpr std::chrono::milliseconds kQuiet{20};
    static constexpr std::chrono::milliseconds kLongestWait{250};
    bool stopping_ = false;
    bool failed_ = false;  // touched by the writer only
    std::optional<QString> openFailure_;
    QFile file_;          // open for appending from start to end, so writing a press opens nothing
    std::thread writer_;
};

}  // namespace velhorn::history
