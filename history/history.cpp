#include "history/history.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace velhorn::history {

namespace {

// Puts what was written on the disk itself, not only in the system's cache.
bool forceToDisk(QFile& file)
{
    if (!file.flush())
        return false;
#ifdef _WIN32
    return _commit(file.handle()) == 0;
#else
    return fdatasync(file.handle()) == 0;
#endif
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
    QFile file(path_);
    // Only a plain file is read: a device or a pipe there may never end.
    if (QFileInfo(path_).isFile()) {
        constexpr qint64 kTail = 1 << 16;  // many lines' worth
        std::variant<qint64, QString> checked = file.errorString();
        if (file.open(QIODevice::ReadWrite)) {
            const QByteArray head = file.read(static_cast<qint64>(csvHeader().size()));
            const qint64 size = file.size();
            file.seek(std::max<qint64>(0, size - kTail));
            checked = checkHistory(head, file.read(kTail), size);
            if (const auto* end = std::get_if<qint64>(&checked); end && *end < size)
                file.resize(*end);  // drop a line cut short, so the next one starts clean
        }
        if (const auto* reason = std::get_if<QString>(&checked))
            setAside(file, *reason);
    }
    if (keeping_)
        openFailure_ = openForAppending();
    writer_ = std::thread([this] { writeJobs(); });
}

void History::setAside(QFile& file, const QString& reason)
{
    file.close();
    const QString aside =
        path_ + QStringLiteral(".damaged-") + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddThhmmss"));
    if (QFile::rename(path_, aside)) {
        startupMessage_ = QStringLiteral("The history file %1 could not be read (%2). It was set aside as %3, and a new "
                                         "history begins.")
                              .arg(QDir::toNativeSeparators(path_), reason, QDir::toNativeSeparators(aside));
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
        pending_ += line;
        lastAdded_ = std::chrono::steady_clock::now();
    }
    if (writerIdle)
        wake_.notify_one();  // a writer already counting down finds this line when it wakes
    emit changed();
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
    emit changed();
}

std::vector<Entry> History::entries()
{
    if (!keeping_)
        return {};
    waitUntilWritten();
    QFile file(path_);
    if (!QFileInfo(path_).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    return readHistory(file.readAll());
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
        const auto firstSeen = std::chrono::steady_clock::now();
        while (!stopping_ && !writeNow_) {
            const auto due = std::min(lastAdded_ + kQuiet, firstSeen + kLongestWait);
            if (std::chrono::steady_clock::now() >= due)
                break;
            wake_.wait_until(lock, due);
        }
        writeNow_ = false;
        // Everything that piled up goes to the disk in one write and one sync.
        const bool clear = std::exchange(clearPending_, false);
        const std::string lines = std::exchange(pending_, {});
        busy_ = true;
        lock.unlock();
        std::optional<QString> failure;
        if (!failed_)
            failure = openFailure_ ? openFailure_ : write(clear, lines);
        lock.lock();
        busy_ = false;
        idle_.notify_all();
        if (failure) {
            failed_ = true;
            QMetaObject::invokeMethod(this, [this, message = *failure] {
                keeping_ = false;
                emit cannotSave(message);
            }, Qt::QueuedConnection);
        }
    }
}

std::optional<QString> History::write(bool clear, const std::string& lines)
{
    const std::string header = csvHeader();
    if (clear) {
        // Replaced whole, so a crash leaves the old history or the empty one, never half of it.
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
    const std::string bytes = file_.size() == 0 ? header + lines : lines;
    if (file_.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !forceToDisk(file_))
        return cannotKeep(path_, file_.errorString());
    return std::nullopt;
}

}  // namespace velhorn::history
