// The history as a user meets it: a long history in the History window, a history that can be
// read but not written, the window's headers and its place among windows, a kill in the middle
// of a burst, where save dialogs open, and what Copy results copies after the boxes are cleared.
#include "history/history.h"
#include "history/history_window.h"
#include "press/column_titles.h"
#include "support/data_folder.h"
#include "support/window_driver.h"
#include "widgets/save_file.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <csignal>
#include <thread>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

using velhorn::testing::DataFolder;
using velhorn::testing::Window;
using namespace velhorn;

namespace {

// A history file of `count` presses, press i with M1 = 2 + i / 1000.
void writeHistory(const QString& path, int count)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::string text = history::csvHeader();
    history::Entry entry{{}, history::timeNow(), press::Mode::M2};
    entry.values.fill(1.5);
    for (int i = 0; i < count; ++i) {
        entry.values[1] = 2 + i / 1000.0;
        text += history::csvLine(entry);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
}

// Root writes through permission bits. For as long as this lives, the thread that made it (and
// the threads it starts) lose that power, so a read-only file is read-only to them too.
class WithoutOverride {
public:
    WithoutOverride()
    {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        if (geteuid() != 0 || syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        lowered_ = syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~WithoutOverride()
    {
        if (lowered_)
            syscall(SYS_capset, &header_, saved_);
    }

private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool lowered_ = false;
};

}  // namespace

class HistoryTest : public QObject {
    Q_OBJECT
private slots:
    void longHistoryLoadsBehindThePresses();
    void readOnlyHistoryIsShownNotRenamed_data();
    void readOnlyHistoryIsShownNotRenamed();
    void historyWindowReadsAsAWindow();
    void killDuringABurstLosesOnlyTheLastMoments_data();
    void killDuringABurstLosesOnlyTheLastMoments();
    void saveDialogsOpenInAFolderThatExists_data();
    void saveDialogsOpenInAFolderThatExists();
    void copyResultsForgetsWhatTheBoxesNoLongerShow();
};

void HistoryTest::longHistoryLoadsBehindThePresses()
{
    DataFolder data;
    constexpr int kKept = 20000;
    writeHistory(data.history(), kKept);
    Window w;
    w.choose("M2");
    w.form.showHistory();
    auto* window = w.form.historyWindow();
    // Presses made while the file is still being read come after it, each once.
    for (const char* m1 : {"3", "4"})
        w.press(m1, "10", "");
    QTRY_VERIFY_WITH_TIMEOUT(!window->loading(), 20000);
    w.press("5", "10", "");
    // A line another program adds to the file is not read again by a press: the window adds
    // the press it was told of, and nothing else.
    QFile file(data.history());
    (void)w.form.history().entries();
    QVERIFY(file.open(QIODevice::Append));
    file.write(history::csvLine(window->entries().front()).c_str());
    file.close();
    w.press("6", "10", "");
    const auto& rows = window->entries();
    QCOMPARE(rows.size(), std::size_t(kKept + 4));
    for (int i = 0; i < kKept; i += 997)
        QCOMPARE(rows[static_cast<std::size_t>(i)].values[1], 2 + i / 1000.0);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(rows[static_cast<std::size_t>(kKept + i)].values[1], 3.0 + i);
    QCOMPARE(window->table()->model()->rowCount(), kKept + 4);

    // Headers a person reads, each wide enough for its text.
    QHeaderView* header = window->table()->horizontalHeader();
    QSet<QString> titles;
    for (int section = 0; section < header->count(); ++section) {
        const QString title = header->model()->headerData(section, Qt::Horizontal).toString();
        titles << title;
        QVERIFY2(header->sectionSize(section) >= header->fontMetrics().horizontalAdvance(title), qPrintable(title));
    }
    QCOMPARE(titles.size(), header->count());
    QVERIFY(titles.contains(QString::fromUtf8("ν1 (°)")) && titles.contains("forward Mach line (°)"));
}

void HistoryTest::readOnlyHistoryIsShownNotRenamed_data()
{
    QTest::addColumn<bool>("folderToo");
    QTest::newRow("read-only file") << false;
    QTest::newRow("read-only file in a read-only folder") << true;
}

void HistoryTest::readOnlyHistoryIsShownNotRenamed()
{
    QFETCH(bool, folderToo);
    DataFolder data;
    writeHistory(data.history(), 3);
    const QString folder = QFileInfo(data.history()).absolutePath();
    QFile(data.history()).setPermissions(QFile::ReadOwner);
    if (folderToo)
        QFile(folder).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    QByteArray before;
    {
        QFile file(data.history());
        QVERIFY(file.open(QIODevice::ReadOnly));
        before = file.readAll();
    }
    {
        WithoutOverride asAUser;
        Window w;
        QStringList all;
        w.form.setMessageBox([&](const QString& text) { all << text; });
        QTRY_COMPARE(all.size(), 1);
        QVERIFY2(all[0].contains("Permission denied") && !all[0].contains("Unknown error"), qPrintable(all[0]));
        w.choose("M2");
        QCOMPARE(w.press("2", "10", "").boxes[2], QString("2.385"));
        QCOMPARE(w.form.history().entries().size(), std::size_t(3));
        w.form.showHistory();
        QTRY_VERIFY(!w.form.historyWindow()->loading());
        QCOMPARE(w.form.historyWindow()->entries().size(), std::size_t(3));  // the file as it is
        QCoreApplication::processEvents();
        QCOMPARE(all.size(), 1);
    }
    QFile(folder).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"history.csv"});
    QFile file(data.history());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void HistoryTest::historyWindowReadsAsAWindow()
{
    DataFolder data;
    Window w;
    w.form.showHistory();
    QWidget* window = w.form.historyWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QAccessibleInterface* described = QAccessible::queryAccessibleInterface(window);
    QVERIFY(described);
    QVERIFY2(described->role() == QAccessible::Dialog || described->role() == QAccessible::Window,
             qPrintable(QString::number(described->role())));
    QCOMPARE(described->text(QAccessible::Name), window->windowTitle());
}

void HistoryTest::killDuringABurstLosesOnlyTheLastMoments_data()
{
    QTest::addColumn<int>("killAfterMs");
    for (int ms : {5, 30, 120, 400})
        QTest::newRow(qPrintable(QString("%1 ms").arg(ms))) << ms;
}

void HistoryTest::killDuringABurstLosesOnlyTheLastMoments()
{
    QFETCH(int, killAfterMs);
    using namespace std::chrono;
    QTemporaryDir dir;
    const QString path = dir.filePath("history.csv");
    QProcess burst;
    burst.start(VELHORN_HISTORY_BURST, {path});
    QVERIFY(burst.waitForStarted());
    QVERIFY(burst.waitForReadyRead(5000));
    std::this_thread::sleep_for(milliseconds(killAfterMs));
    ::kill(static_cast<pid_t>(burst.processId()), SIGKILL);
    const auto killedAt = steady_clock::now().time_since_epoch();
    QVERIFY(burst.waitForFinished(5000));
    // Every press made more than 50 ms before the kill is in the file, and what is there is whole.
    const auto deadline = duration_cast<nanoseconds>(killedAt - milliseconds(50)).count();
    long made = 0, due = 0;
    for (const QByteArray& line : burst.readAllStandardOutput().split('\n')) {
        const auto fields = line.split(' ');
        if (fields.size() != 2)
            continue;
        ++made;
        if (fields[1].toLongLong() < deadline)
            due = fields[0].toLong() + 1;
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY2(bytes.startsWith(QByteArray::fromStdString(history::csvHeader())), bytes.left(80).constData());
    const auto kept = history::readHistory(bytes);
    for (std::size_t i = 0; i < kept.size(); ++i)
        QCOMPARE(kept[i].values[1], static_cast<double>(i));
    QVERIFY2(static_cast<long>(kept.size()) >= due,
             qPrintable(QString("%1 of %2 presses kept, %3 were due").arg(kept.size()).arg(made).arg(due)));
    qInfo("killed after %d ms: %ld presses made, %zu kept, %ld due", killAfterMs, made, kept.size(), due);
}

void HistoryTest::saveDialogsOpenInAFolderThatExists_data()
{
    QTest::addColumn<bool>("pictures");
    QTest::addColumn<bool>("lastSave");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nothing but home") << false << false << "home";
    QTest::newRow("the pictures folder") << true << false << "Pictures";
    QTest::newRow("where the last save went") << true << true << "last";
}

void HistoryTest::saveDialogsOpenInAFolderThatExists()
{
    QFETCH(bool, pictures);
    QFETCH(bool, lastSave);
    QFETCH(QString, expected);
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");
    if (pictures)
        QDir(home.path()).mkdir("Pictures");
    QDir(home.path()).mkdir("last");
    const QString last = lastSave ? home.filePath("last") : home.filePath("gone");
    const QString folder = widgets::saveFolder(QStandardPaths::PicturesLocation, last);
    qputenv("HOME", oldHome);
    QCOMPARE(QDir(folder).canonicalPath(), QDir(expected == "home" ? home.path() : home.filePath(expected)).canonicalPath());
}

void HistoryTest::copyResultsForgetsWhatTheBoxesNoLongerShow()
{
    DataFolder data;
    Window w;
    w.choose("M2");
    w.press("2", "10", "");
    QAction* copy = w.form.contextMenu()->actions().first();
    QVERIFY(copy->isEnabled());
    QApplication::clipboard()->setText("before");
    w.choose("M1");  // clears every box
    QVERIFY(!copy->isEnabled());
    w.form.copyResults();
    QCOMPARE(QApplication::clipboard()->text(), QString("before"));
    w.press("", "10", "2.385");
    QVERIFY(copy->isEnabled());
}

QTEST_MAIN(HistoryTest)
#include "history_test.moc"
