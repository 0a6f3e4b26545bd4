#include "history/history.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace velhorn::history {

namespace {

// Puts what was written on the disk itself, not only in the system's cache.
bool syncToDisk(int handle)
{
#ifdef _WIN32
    return _commit(handle) == 0;
#else
    return fdatasync(handle) == 0;
#endif
}

bool forceToDisk(QFile& file)
{
    return file.flush() && syncToDisk(file.handle());
}

QString cannotKeep(const QString& path, const QString& reason)
{
    return QStringLiteral("Velhorn cannot keep its history in %1: %2. Presses work as before, but they are "
                          "not kept.").arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace

QString History::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/velhorn/history.csv");
}

History::History(QString path, QObject* parent) : QObject(parent), path_(std::move(path))
{
    // Only a plain file is read: a device or a pipe there may never end.
    if (QFileInfo(path_).isFile())
        readExisting();
    if (keeping_) {
        openFailure_ = openForAppending();
        if (openFailure_ && readable_ && QFileInfo(path_).isFile()) {
            // A good history we may only read: shown as it is, said once, and never renamed.
            keeping_ = false;
            openFailure_.reset();
            startupMessage_ = QStringLiteral("Velhorn cannot add to its history in %1: %2. The history is shown as it "
                                             "is, but new presses are not kept.")
                                  .arg(QDir::toNativeSeparators(path_), file_.errorString());
        }
    }
    writer_ = std::thread([this] { writeJobs(); });
    syncer_ = std::thread([this] { syncJobs(); });
}

void History::readExisting()
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        // Not readable is not damaged: the file is left alone, and so is its folder.
        keeping_ = readable_ = false;
        startupMessage_ = QStringLiteral("The history file %1 could not be read (%2). Presses work as before, but "
                                         "they are not kept.")
                              .arg(QDir::toNativeSeparators(path_), file.errorString());
        return;
    }
    constexpr qint64 kTail = 1 << 16;  // many lines' worth
    const QByteArray head = file.read(static_cast<qint64>(csvHeader().size()));
    const qint64 size = file.size();
    file.seek(std::max<qint64>(0, size - kTail));
    const auto checked = checkHistory(head, file.read(kTail), size);
    if (const auto* reason = std::get_if<QString>(&checked)) {
        setAside(file, *reason);
        return;
    }
    const qint64 end = std::get<qint64>(checked);
    file.close();
    // Drop a line cut short, so the next one starts clean; a file we may not write keeps it, and
    // reading passes over it.
    if (end < size && file.open(QIODevice::ReadWrite))
        file.resize(end);
}

void History::setAside(QFile& file, const QString& reason)
{
    file.close();
    readable_ = false;
    const QString aside =
        path_ + QStringLiteral(".damaged-") + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddThhmmss"));
    if (QFile::rename(path_, aside)) {
        startupMessage_ = QStringLiteral("The history file %1 could not be read (%2). It was set aside as %3, and a new "
                                         "history begins.")
                              .arg(QDir::toNativeSeparators(path_), reason, QDir::toNativeSeparators(aside));
        readable_ = true;  // the new one
    } else {
        keeping_ = false;  // never write over a file that may be someone else's
        startupMessage_ = QStringLiteral("The history file %1 could not be read (%2), nor set aside. Presses work as "
                                         "before, but they are not kept.")
                              .arg(QDir::toNativeSeparators(path_), reason);
    }
}

std::optional<QString> History::openForAppending()
{
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        return cannotKeep(path_, QStringLiteral("its folder cannot be made"));
    file_.setFileName(path_);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append))
        return cannotKeep(path_, file_.errorString());
    // A new file gets its header at once, so a crash before the first write leaves a history.
    const std::string header = csvHeader();
    if (file_.size() == 0 &&
        (file_.write(header.data(), static_cast<qint64>(header.size())) != static_cast<qint64>(header.size()) ||
         !forceToDisk(file_)))
        return cannotKeep(path_, file_.errorString());
    writtenEnd_ = file_.size();
    return std::nullopt;
}

History::~History()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
    {
        std::lock_guard lock(syncMutex_);
        syncStopping_ = true;
    }
    syncWake_.notify_one();
    syncer_.join();
}

std::optional<QString> History::takeStartupMessage()
{
    return std::exchange(startupMessage_, std::nullopt);
}

void History::add(const Entry& entry)
{
    if (!keeping_)
        return;
    const std::string line = csvLine(entry);
    bool writerIdle = false;
    {
        std::lock_guard lock(mutex_);
        writerIdle = pending_.empty() && !busy_;
        lastAdded_ = std::chrono::steady_clock::now();
        if (pending_.empty())
            firstPending_ = lastAdded_;
        pending_ += line;
    }
    if (writerIdle)
        wake_.notify_one();  // a writer already counting down finds this line when it wakes
    emit added(entry);
}

void History::clear()
{
    if (!keeping_)
        return;
    {
        std::lock_guard lock(mutex_);
        pending_.clear();
        clearPending_ = true;
    }
    wake_.notify_one();
    emit cleared();
}

std::vector<Entry> History::entries()
{
    if (!readable_)
        return {};
    waitUntilWritten();
    QFile file(path_);
    if (!QFileInfo(path_).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    return readHistory(file.readAll());
}

History::Snapshot History::snapshot()
{
    if (!readable_)
        return {};
    std::lock_guard lock(mutex_);
    if (!keeping_)
        return {QFileInfo(path_).size(), {}};
    if (clearPending_ || clearInFlight_)
        return {0, clearPending_ ? pending_ : inFlight_ + pending_};
    return {writtenEnd_, inFlight_ + pending_};
}

void History::waitUntilWritten()
{
    std::unique_lock lock(mutex_);
    writeNow_ = true;
    wake_.notify_one();
    idle_.wait(lock, [this] { return pending_.empty() && !clearPending_ && !busy_; });
}

void History::writeJobs()
{
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty() || clearPending_; });
        if (pending_.empty() && !clearPending_)
            return;  // stopping, with nothing left to write
        // A burst of presses (a script, a held key) is let finish first, so the disk is touched
        // while the window is idle; a person's presses, far apart, are each on disk moments later.
        while (!stopping_ && !writeNow_) {
            const auto due = std::min(lastAdded_ + kQuiet, firstPending_ + kLongestWait);
            if (std::chrono::steady_clock::now() >= due)
                break;
            wake_.wait_until(lock, due);
        }
        writeNow_ = false;
        // Everything that piled up goes to the system in one write; the syncer puts it on the disk.
        clearInFlight_ = std::exchange(clearPending_, false);
        inFlight_ = std::exchange(pending_, {});
        busy_ = true;
        lock.unlock();
        std::optional<QString> failure;
        if (!failed_)
            failure = openFailure_ ? openFailure_ : write(clearInFlight_, inFlight_);
        lock.lock();
        if (!failure && !failed_)
            writtenEnd_ = file_.size();
        inFlight_.clear();
        clearInFlight_ = false;
        busy_ = false;
        idle_.notify_all();
        if (failure)
            reportFailure(*failure);
        else if (!failed_)
            wantSync();
    }
}

void History::reportFailure(const QString& message)
{
    if (failed_.exchange(true))
        return;
    QMetaObject::invokeMethod(this, [this, message] {
        keeping_ = false;
        emit cannotSave(message);
    }, Qt::QueuedConnection);
}

void History::wantSync()
{
    {
        std::lock_guard lock(syncMutex_);
        syncWanted_ = true;
    }
    syncWake_.notify_one();
}

// Forcing to disk takes milliseconds, and far longer on a busy disk; apart from the writer, it
// never holds a press back from the system, so a crash of the program loses only what the
// writer has yet to write.
void History::syncJobs()
{
    std::unique_lock lock(syncMutex_);
    while (true) {
        syncWake_.wait(lock, [this] { return syncWanted_ || syncStopping_; });
        if (!syncWanted_)
            return;
        syncWanted_ = false;
        lock.unlock();
        bool synced = true;
        {
            std::lock_guard file(fileMutex_);
            synced = !file_.isOpen() || syncToDisk(file_.handle());
        }
        if (!synced)
            reportFailure(cannotKeep(path_, QString::fromLocal8Bit(std::strerror(errno))));
        lock.lock();
    }
}

std::optional<QString> History::write(bool clear, const std::string& lines)
{
    const std::string header = csvHeader();
    if (clear) {
        // Replaced whole, so a crash leaves the old history or the empty one, never half of it.
        std::lock_guard file(fileMutex_);
        file_.close();
        QSaveFile fresh(path_);
        if (!fresh.open(QIODevice::WriteOnly) || fresh.write(header.data(), static_cast<qint64>(header.size())) < 0 ||
            !fresh.commit())
            return cannotKeep(path_, fresh.errorString());
        if (auto failure = openForAppending())
            return failure;
    }
    if (lines.empty())
        return std::nullopt;
    const std::string bytes = file_.size() == 0 ? header + lines : lines;  // emptied from outside
    if (file_.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file_.flush())
        return cannotKeep(path_, file_.errorString());
    return std::nullopt;
}

}  // namespace velhorn::history
