// The numbers out of the window: what Copy results puts on the clipboard, the chart saved as a
// drawing, the history across a restart and when its file or folder fails, failing saves, and
// the order in which a press shows its results and its message.
#include "flow/solve.h"
#include "history/history.h"
#include "history/history_window.h"
#include "support/data_folder.h"
#include "support/window_driver.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTableView>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <cmath>

using velhorn::calculator::Form1;
using velhorn::testing::DataFolder;
using velhorn::testing::Window;
using namespace velhorn;

namespace {

// The press every test that needs a result makes: M1 = 2 and Teta = 10 give M2.
void pressForM2(Window& w)
{
    w.choose("M2");
    w.press("2", "10", "");
}

// Lets the writer finish and its report, if any, reach the window.
void settle(Form1& f)
{
    (void)f.history().entries();
    QCoreApplication::processEvents();
}

// The strokes of an SVG that QSvgGenerator wrote: lines as polylines in a group that strokes them,
// points as one-pixel squares in a group that fills them.
QList<QPair<QLineF, QColor>> svgStrokes(const QByteArray& svg)
{
    QList<QPair<QLineF, QColor>> strokes;
    QXmlStreamReader xml(svg);
    QList<QColor> stroke, fill;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"g") {
            stroke.removeLast();
            fill.removeLast();
        }
        if (!xml.isStartElement())
            continue;
        const auto a = xml.attributes();
        if (xml.name() == u"g") {
            stroke << (a.hasAttribute("stroke") ? QColor(a.value("stroke").toString()) : stroke.value(stroke.size() - 1));
            fill << (a.hasAttribute("fill") ? QColor(a.value("fill").toString()) : fill.value(fill.size() - 1));
        } else if (xml.name() == u"polyline") {
            const QStringList points = a.value("points").toString().split(' ', Qt::SkipEmptyParts);
            for (qsizetype i = 1; i < points.size(); ++i) {
                const auto p = points[i - 1].split(','), q = points[i].split(',');
                strokes.append({QLineF(p[0].toDouble(), p[1].toDouble(), q[0].toDouble(), q[1].toDouble()), stroke.last()});
            }
        } else if (xml.name() == u"rect" && a.value("width") == u"1" && a.value("height") == u"1") {
            const QPointF at(a.value("x").toDouble() + 0.5, a.value("y").toDouble() + 0.5);
            strokes.append({QLineF(at, at), fill.last()});
        }
    }
    return strokes;
}

}  // namespace

class NumbersOutTest : public QObject {
    Q_OBJECT
private slots:
    void copyResultsReadsBackFieldByField();
    void savedSvgHoldsTheChartsStrokes();
    void historySurvivesARestart();
    void damagedHistoryIsSetAside();
    void unwritableHistoryCostsOnlyTheHistory_data();
    void unwritableHistoryCostsOnlyTheHistory();
    void failingSavesSayWhy();
    void messageComesLastWithEverythingInPlace_data();
    void messageComesLastWithEverythingInPlace();
    void contextMenuByMouseAndKeyboard();
};

void NumbersOutTest::copyResultsReadsBackFieldByField()
{
    DataFolder data;
    Window w;
    pressForM2(w);
    w.form.copyResults();
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    const QStringList lines = clip->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QStringList names = lines[0].split('\t'), values = lines[1].split('\t');
    QCOMPARE(names.size(), values.size());
    QVERIFY(names.contains("mu1_deg") && names.contains("rho2_rho1") && names.contains("max_turn_deg"));
    QMap<QString, QString> field;
    for (qsizetype i = 0; i < names.size(); ++i)
        field[names[i]] = values[i];
    // The command line's numbers for the same givens, bit for bit.
    const auto fan = std::get<flow::Fan>(flow::solveFan(flow::Gas::air(), flow::Given{flow::By::Mach, 2}, std::nullopt, 10.0));
    QCOMPARE(field["M2"].toDouble(), fan.downstream.M);
    QCOMPARE(field["p2_p1"].toDouble(), fan.p2p1);
    QCOMPARE(field["mu2_deg"].toDouble(), fan.downstream.mu);
    QCOMPARE(field["M1"], QString("2"));
    QCOMPARE(field["theta_deg"], QString("10"));
    QCOMPARE(field["found"], QString("M2"));
    QVERIFY(QDateTime::fromString(field["time_utc"], Qt::ISODateWithMs).isValid());
    // What the window shows is the same number, rounded.
    QCOMPARE(QString::number(field["M2"].toDouble(), 'f', 3), w.form.Text_M2->text());
    QVERIFY(clip->html().contains("<td>" + field["p2_p1"] + "</td>"));

    // Ctrl+C in the History window copies whole rows, even when there are none.
    velhorn::history::HistoryWindow empty(w.form.history(), [](const QString&) {});
    w.form.setQuestionBox([](const QString&) { return true; });
    w.form.clearHistory();
    empty.reload();
    empty.show();
    QVERIFY(QTest::qWaitForWindowExposed(&empty));
    QTest::keyClick(empty.table(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().count('\n'), 1);
}

void NumbersOutTest::savedSvgHoldsTheChartsStrokes()
{
    DataFolder data;
    Window w;
    pressForM2(w);
    const QString path = data.dir.filePath("chart.svg");
    w.form.saveChart(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray svg = file.readAll();
    const auto drawn = svgStrokes(svg);
    const auto& strokes = w.form.Picture1->strokesSinceClear();
    QCOMPARE(drawn.size(), static_cast<qsizetype>(strokes.size()));
    for (qsizetype i = 0; i < drawn.size(); ++i) {
        const auto& s = strokes[static_cast<std::size_t>(i)];
        // Where the stroke falls, moved onto the middle of a pixel as on screen: crisp at 1:1.
        const QLineF expected(w.form.Picture1->toPixel(s.from.x, s.from.y), w.form.Picture1->toPixel(s.to.x, s.to.y));
        for (const auto& [got, want] : {std::pair{drawn[i].first.p1(), expected.p1()}, {drawn[i].first.p2(), expected.p2()}}) {
            QVERIFY2(std::fabs(got.x() - want.x()) <= 0.5 && std::fabs(got.y() - want.y()) <= 0.5,
                     qPrintable(QString("stroke %1").arg(i)));
            QVERIFY2(std::fmod(got.x(), 1.0) == 0.5 && std::fmod(got.y(), 1.0) == 0.5,
                     qPrintable(QString("stroke %1 at %2,%3").arg(i).arg(got.x()).arg(got.y())));
        }
        QCOMPARE(drawn[i].second, s.colour);
    }
    // The drawing's physical size is its pixels at 96 an inch, as the PNG declares.
    QXmlStreamReader xml(svg);
    while (xml.readNextStartElement() && xml.name() != u"svg") {}
    const QSizeF pixels = w.form.Picture1->image().deviceIndependentSize();
    for (const auto& [attribute, size] : {std::pair{"width", pixels.width()}, {"height", pixels.height()}}) {
        const QString text = xml.attributes().value(attribute).toString();
        QVERIFY2(text.endsWith("mm") && std::fabs(text.chopped(2).toDouble() - size * 25.4 / 96) < 0.01, qPrintable(text));
    }
    QVERIFY(w.messages.isEmpty());
}

void NumbersOutTest::historySurvivesARestart()
{
    DataFolder data;
    QList<std::array<double, press::kFanColumns.size()>> made;
    {
        Window w;
        w.choose("M2");
        w.press("2", "10", "");
        w.press("2", "500", "");  // refused: kept nowhere
        w.choose("Teta");
        w.press("1.5", "", "3");
        for (const auto& entry : w.form.history().entries())
            made << entry.values;
    }
    QCOMPARE(made.size(), 2);
    Window again;
    again.form.showHistory();
    QTRY_VERIFY(!again.form.historyWindow()->loading());
    const auto& listed = again.form.historyWindow()->entries();
    QCOMPARE(listed.size(), std::size_t(2));
    QCOMPARE(listed[0].values, made[0]);
    QCOMPARE(listed[1].values, made[1]);
    QCOMPARE(listed[1].found, press::Mode::Teta);
    again.form.setQuestionBox([](const QString&) { return true; });
    again.form.clearHistory();
    QVERIFY(again.form.history().entries().empty());
}

void NumbersOutTest::damagedHistoryIsSetAside()
{
    DataFolder data;
    QDir().mkpath(QFileInfo(data.history()).absolutePath());
    QFile damaged(data.history());
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x89PNG\r\n\x1a\n not a history at all");
    damaged.close();
    Window w;
    QCoreApplication::processEvents();
    QCOMPARE(w.messages.size(), 1);
    QVERIFY2(w.messages[0].contains("set aside"), qPrintable(w.messages[0]));
    const QStringList aside = QDir(QFileInfo(data.history()).absolutePath()).entryList({"history.csv.damaged-*"});
    QCOMPARE(aside.size(), 1);
    w.choose("M2");
    QCOMPARE(w.press("2", "10", "").boxes[2], QString("2.385"));
    QCOMPARE(w.form.history().entries().size(), std::size_t(1));

    // A line cut short by a crash is no press, and the next press starts a line of its own.
    QFile file(data.history());
    QVERIFY(file.open(QIODevice::Append));
    file.write("1.4,2,26.37");
    file.close();
    Window next;
    QCoreApplication::processEvents();
    QVERIFY(next.messages.isEmpty());
    next.choose("M2");
    next.press("3", "5", "");
    QCOMPARE(next.form.history().entries().size(), std::size_t(2));
}

void NumbersOutTest::unwritableHistoryCostsOnlyTheHistory_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("folder under a file") << "folder";
    QTest::newRow("full disk") << "full";
}

void NumbersOutTest::unwritableHistoryCostsOnlyTheHistory()
{
    QFETCH(QString, how);
    DataFolder data;
    if (how == "folder") {
        // Unwritable even for root: the data folder's parent is a plain file.
        QFile blocker(data.dir.filePath("blocked"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        qputenv("XDG_DATA_HOME", data.dir.filePath("blocked/data").toLocal8Bit());
    } else {
        QDir().mkpath(QFileInfo(data.history()).absolutePath());
        QVERIFY(QFile::link("/dev/full", data.history()));
    }
    Window w;
    QStringList all;
    w.form.setMessageBox([&](const QString& text) { all << text; });
    w.choose("M2");
    for (int i = 0; i < 3; ++i) {
        const auto press = w.press("2", "10", "");
        QCOMPARE(press.boxes[2], QString("2.385"));
        settle(w.form);
    }
    QCOMPARE(all.size(), 1);
    QVERIFY2(all[0].contains("cannot keep its history"), qPrintable(all[0]));
}

void NumbersOutTest::failingSavesSayWhy()
{
    DataFolder data;
    Window w;
    pressForM2(w);
    const QString missing = data.dir.filePath("no such folder/chart.png");
    w.form.saveChart(missing);
    QCOMPARE(w.messages.size(), 1);
    QVERIFY2(w.messages[0].contains("could not be saved") && w.messages[0].contains("No such file"),
             qPrintable(w.messages[0]));
    w.form.showHistory();
    w.form.historyWindow()->saveCsv(data.dir.filePath("no such folder/history.csv"));
    QCOMPARE(w.messages.size(), 2);
    QVERIFY2(w.messages[1].contains("No such file"), qPrintable(w.messages[1]));
    // An existing file is replaced whole, and reads back as the history.
    const QString csv = data.dir.filePath("history.csv");
    w.form.historyWindow()->saveCsv(csv);
    QFile saved(csv);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readLine().trimmed().split(',').mid(0, 21).join(','),
             QByteArray("gamma,M1,nu1_deg,mu1_deg,p1_p0,T1_T0,rho1_rho0,M2,nu2_deg,mu2_deg,p2_p0,T2_T0,rho2_rho0,"
                        "theta_deg,p2_p1,T2_T1,rho2_rho1,forward_mach_line_deg,rearward_mach_line_deg,max_turn_deg,nu_max_deg"));
}

void NumbersOutTest::messageComesLastWithEverythingInPlace_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("keepable");
    QTest::newRow("refused") << "M2" << QStringList{"2", "200", ""} << true;
    QTest::newRow("subsonic") << "M1" << QStringList{"", "10", "0.5"} << true;
    QTest::newRow("found, history unwritable") << "M2" << QStringList{"2", "10", ""} << false;
    QTest::newRow("found, p2/p1 too large") << "Teta" << QStringList{"1e100", "", "1"} << true;
}

void NumbersOutTest::messageComesLastWithEverythingInPlace()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, typed);
    QFETCH(bool, keepable);
    DataFolder data;
    if (!keepable) {
        QFile blocker(data.dir.filePath("blocked"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        qputenv("XDG_DATA_HOME", data.dir.filePath("blocked/data").toLocal8Bit());
    }
    Window w;
    QStringList seenBoxes;
    QString seenDescription;
    w.form.setMessageBox([&](const QString&) {
        if (!seenBoxes.isEmpty())
            return;  // the first message is the one to judge
        for (QLineEdit* box : w.boxes())
            seenBoxes << box->text();
        seenDescription = w.form.Picture1->accessibleDescription();
    });
    w.choose(mode);
    const auto press = w.press(typed[0], typed[1], typed[2]);
    settle(w.form);
    QVERIFY(!seenBoxes.isEmpty());
    QCOMPARE(seenBoxes, press.boxes);
    QCOMPARE(seenDescription, w.form.Picture1->accessibleDescription());
}

void NumbersOutTest::contextMenuByMouseAndKeyboard()
{
    DataFolder data;
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    QCOMPARE(w.form.menuBar()->actions().size(), 1);
    QMenu* menu = w.form.contextMenu();
    QCOMPARE(menu->actions().first()->text(), QString("&Copy results"));
    QVERIFY(!menu->actions().first()->isEnabled());

    // A right click on the chart opens the menu and leaves the chart as it is.
    const auto strokes = w.form.Picture1->strokesSinceClear().size();
    QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(20, 20), w.form.Picture1->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(w.form.Picture1, &right);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    QCOMPARE(w.form.Picture1->strokesSinceClear().size(), strokes);

    // Shift+F10 opens it from the button; in a text box the box's own edit menu comes instead.
    w.form.Command1->setFocus();
    QTest::keyClick(&w.form, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    w.form.Text_Nu1->setFocus();
    QTimer::singleShot(200, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    QTest::keyClick(w.form.Text_Nu1, Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(!menu->isVisible());
}

QTEST_MAIN(NumbersOutTest)
#include "numbers_out_test.moc"
