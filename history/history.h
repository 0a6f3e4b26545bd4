#pragma once

#include "history/history_file.h"

#include <QFile>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace velhorn::history {

// Every press that found a result, kept in a file that outlives the program. Each press is
// appended by a writer thread once the presses pause for a moment (and never later than
// kLongestWait after the press), and forced to disk by another at once, so a press never waits
// for the disk and a crash costs at most the presses of the last 50 ms. The file is the history:
// nothing of it is kept in memory between reads.
class History : public QObject {
    Q_OBJECT
public:
    // Reads `path`. A file that holds no history is set aside under another name and the
    // history starts empty; a history that reads but cannot be written is shown and not added
    // to; startupMessage() says so.
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

    // The history as it stands, without waiting for the writer: the file's first `fileEnd`
    // bytes, then the lines the writer has yet to put there.
    struct Snapshot {
        qint64 fileEnd = 0;
        std::string unwritten;
    };
    [[nodiscard]] Snapshot snapshot();

signals:
    // The history cannot be kept; emitted once, on the thread that made the History.
    void cannotSave(const QString& message);
    void added(const velhorn::history::Entry& entry);
    void cleared();

private:
    void readExisting();
    void setAside(QFile& file, const QString& reason);
    void writeJobs();
    void syncJobs();
    void wantSync();
    void reportFailure(const QString& message);
    [[nodiscard]] std::optional<QString> openForAppending();
    [[nodiscard]] std::optional<QString> write(bool clear, const std::string& lines);
    void waitUntilWritten();

    QString path_;
    std::optional<QString> startupMessage_;
    bool keeping_ = true;  // false once the file cannot be written or was not ours to write
    bool readable_ = true; // false where the file is not a history we may read
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    // What the writer has yet to do: empty the file first, then append these lines.
    bool clearPending_ = false;
    std::string pending_;
    std::string inFlight_;        // lines the writer is putting on disk now
    bool clearInFlight_ = false;
    qint64 writtenEnd_ = 0;       // where the file's last whole line ends
    bool busy_ = false;
    bool writeNow_ = false;  // someone waits to read the file
    std::chrono::steady_clock::time_point lastAdded_;
    std::chrono::steady_clock::time_point firstPending_;  // when the oldest unwritten line came
    static constexpr std::chrono::milliseconds kQuiet{20};

public:
    // A burst waits for no more than this before its lines go to disk; with the write itself,
    // a kill loses at most the last 50 ms of presses.
    static constexpr std::chrono::milliseconds kLongestWait{30};

private:
    bool stopping_ = false;
    std::atomic<bool> failed_ = false;  // the history could not be kept; said once
    std::optional<QString> openFailure_;
    QFile file_;          // open for appending from start to end, so writing a press opens nothing
    std::mutex fileMutex_;  // held while file_ is synced, or closed and opened again
    std::thread writer_;
    std::mutex syncMutex_;
    std::condition_variable syncWake_;
    bool syncWanted_ = false;
    bool syncStopping_ = false;
    std::thread syncer_;
};

}  // namespace velhorn::history
