// Pressing the real calculate button of the real window, in every mode.
#include "calculator/colours.h"
#include "calculator/command_button.h"
#include "calculator/form1.h"
#include "calculator/picture_box.h"
#include "support/window_driver.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <cmath>

using velhorn::calculator::Form1;
using velhorn::calculator::PictureBox;
using velhorn::calculator::UserPoint;
using velhorn::testing::Press;
using velhorn::testing::Window;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGrey(200, 200, 200);
const QString kUntouched = "untouched";

bool near(float a, double b) { return std::fabs(a - b) < 5e-4 * std::max(1.0, std::fabs(b)); }

}  // namespace

class CalculateTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void modesGiveTheirResults_data();
    void modesGiveTheirResults();
    void checksStopBeforeAnyResult_data();
    void checksStopBeforeAnyResult();
    void noOptionChangesNothing();
    void markersFollowTheModeOrderAndColours_data();
    void markersFollowTheModeOrderAndColours();
    void markersUseUnroundedValuesInSinglePrecision();
    void outputBoxIsShownGreyOnEverySuccess();
    void inputBoxesAreNeverWritten();
    void commaLocaleShowsCommas();
    void twoPressesInARowAgree();
    void inversionWithoutSolutionIsReported_data();
    void inversionWithoutSolutionIsReported();
    void pressureRatioBeyondDoublesIsReported_data();
    void pressureRatioBeyondDoublesIsReported();
};

void CalculateTest::modesGiveTheirResults_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("inputs");  // M1, Teta, M2 as typed
    QTest::addColumn<QStringList>("shown");   // M1, Teta, M2, Nu1, Nu2, p2/p1, T2/T1
    const auto row = [](const char* name, const char* mode, QStringList in, QStringList out) {
        QTest::newRow(name) << mode << in << out;
    };
    row("M2 mode", "M2", {"2", "10", ""}, {"2", "10", "2.385", "26.38", "36.38", "0.548", "0.842"});
    row("M1 mode", "M1", {"", "20", "3"}, {"2.125", "20", "3", "29.757", "49.757", "0.259", "0.68"});
    row("Teta mode", "Teta", {"1.5", "", "2"}, {"1.5", "14.475", "2", "11.905", "26.38", "0.469", "0.806"});
    row("negative Teta", "Teta", {"2", "", "1.5"}, {"2", "-14.475", "1.5", "26.38", "11.905", "2.131", "1.241"});
    row("sonic both", "Teta", {"1", "", "1"}, {"1", "0", "1", "0", "0", "1", "1"});
    row("far outside the chart", "Teta", {"2", "", "10"}, {"2", "75.936", "10", "26.38", "102.316", "0", "0.086"});
    row("M1 from zero turning", "M1", {"", "0", "1"}, {"1", "0", "1", "0", "0", "1", "1"});
    row("shown nu2 typed back", "M1", {"", "26.38", "2"}, {"1", "26.38", "2", "0", "26.38", "0.242", "0.667"});
    row("empty Teta is zero", "M2", {"2", "", ""}, {"2", "", "2", "26.38", "26.38", "1", "1"});
    row("blank inside a number", "M2", {"1 .5", "0", ""}, {"1 .5", "0", "1.5", "11.905", "11.905", "1", "1"});
    row("comma ends a number", "M2", {"2,5", "10", ""}, {"2,5", "10", "2.385", "26.38", "36.38", "0.548", "0.842"});
    row("Teta text that is no number", "M2", {"2", "ten", ""}, {"2", "ten", "2", "26.38", "26.38", "1", "1"});
    row("exactly sonic M1", "M2", {"1", "5", ""}, {"1", "5", "1.256", "0", "5", "0.724", "0.912"});
}

void CalculateTest::modesGiveTheirResults()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, shown);
    Window w;
    w.choose(mode);
    const Press press = w.press(inputs[0], inputs[1], inputs[2]);
    QCOMPARE(press.messages, QStringList());
    QCOMPARE(press.boxes, shown);
}

void CalculateTest::checksStopBeforeAnyResult_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("message");
    QTest::newRow("M1 mode, M2 below 1") << "M1" << QStringList{"", "5", "0.99"} << "M2 must be greater then 1";
    QTest::newRow("M1 mode, M2 not a number") << "M1" << QStringList{"", "5", "abc"} << "M2 must be greater then 1";
    QTest::newRow("Teta mode, M1 below 1") << "Teta" << QStringList{"0.5", "", "3"} << "M1 and M2 must be greater then 1";
    QTest::newRow("Teta mode, both below 1") << "Teta" << QStringList{"0", "", "-4"} << "M1 and M2 must be greater then 1";
    QTest::newRow("Teta mode, M2 empty") << "Teta" << QStringList{"2", "", ""} << "M1 and M2 must be greater then 1";
    QTest::newRow("M2 mode, M1 below 1") << "M2" << QStringList{"0.999999", "5", ""} << "M1 must be greater then 1";
    QTest::newRow("M2 mode, M1 negative huge") << "M2" << QStringList{"-1e400", "5", ""} << "M1 must be greater then 1";
    // Numbers that would overflow are caught with the same checks.
    QTest::newRow("typed M1 beyond doubles") << "M2" << QStringList{"1e400", "5", ""} << "M1 is too large to calculate with";
    QTest::newRow("M1 whose square overflows") << "Teta" << QStringList{"1e200", "", "2"} << "M1 is too large to calculate with";
    QTest::newRow("M2 whose square overflows") << "M1" << QStringList{"", "5", "2e154"} << "M2 is too large to calculate with";
    QTest::newRow("Teta beyond doubles") << "M2" << QStringList{"2", "-1e999", ""} << "Teta is too large to calculate with";
}

void CalculateTest::checksStopBeforeAnyResult()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, inputs);
    QFETCH(QString, message);
    Window w;
    w.choose(mode);
    // Results of an earlier press stay where they are.
    for (QLineEdit* box : {w.form.Text_Nu1, w.form.Text_Nu2, w.form.Text_p2p1, w.form.Text_T2T1})
        box->setText(kUntouched);
    w.form.Picture1->Line({1, 0}, {3, -30}, kBlue);
    const Press press = w.press(inputs[0], inputs[1], inputs[2]);
    QCOMPARE(press.messages, QStringList{message});
    QCOMPARE(press.boxes.mid(0, 3), inputs);
    QCOMPARE(press.boxes.mid(3), QStringList(4, kUntouched));
    // The chart was redrawn, bare, before the check.
    QCOMPARE(w.form.Picture1->strokesSinceClear().size(), size_t{43});
    QVERIFY(w.markers().isEmpty());
}

void CalculateTest::noOptionChangesNothing()
{
    Window w;
    const Press press = w.press("2", "10", "3");
    QCOMPARE(press.messages, QStringList{"Choose an output option"});
    QCOMPARE(press.boxes, (QStringList{"2", "10", "3", "", "", "", ""}));
    QVERIFY(w.form.Picture1->strokesSinceClear().empty());
}

void CalculateTest::markersFollowTheModeOrderAndColours_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("inputs");
    // Each marker: x0, y0, x1, y1 (rounded), colour.
    QTest::addColumn<QList<QList<double>>>("segments");
    QTest::addColumn<QList<QColor>>("colours");
    QTest::newRow("M2 mode") << "M2" << QStringList{"2", "10", ""}
        << QList<QList<double>>{{1, -26.380, 2, -26.380}, {2, 0, 2, -26.380},
                                {2.385, 0, 2.385, -36.380}, {1, -36.380, 2.385, -36.380}}
        << QList<QColor>{kRed, kRed, kBlue, kBlue};
    QTest::newRow("M1 mode") << "M1" << QStringList{"", "20", "3"}
        << QList<QList<double>>{{3, 0, 3, -49.757}, {1, -49.757, 3, -49.757},
                                {1, -29.757, 2.125, -29.757}, {2.125, 0, 2.125, -29.757}}
        << QList<QColor>{kRed, kRed, kBlue, kBlue};
    QTest::newRow("Teta mode") << "Teta" << QStringList{"1.5", "", "2"}
        << QList<QList<double>>{{1, -11.905, 1.5, -11.905}, {1.5, 0, 1.5, -11.905},
                                {2, 0, 2, -26.380}, {1, -26.380, 2, -26.380}}
        << QList<QColor>{kBlue, kBlue, kBlue, kBlue};
}

void CalculateTest::markersFollowTheModeOrderAndColours()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, inputs);
    QFETCH(QList<QList<double>>, segments);
    QFETCH(QList<QColor>, colours);
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.choose(mode);
    w.press(inputs[0], inputs[1], inputs[2]);
    const auto markers = w.markers();
    QCOMPARE(markers.size(), segments.size());
    for (int i = 0; i < markers.size(); ++i) {
        const auto& m = markers[i];
        QVERIFY(m.kind == PictureBox::Stroke::Kind::Segment);
        QCOMPARE(m.colour, colours[i]);
        QVERIFY2(near(m.from.x, segments[i][0]) && near(m.from.y, segments[i][1]) &&
                     near(m.to.x, segments[i][2]) && near(m.to.y, segments[i][3]),
                 qPrintable(QString("marker %1: (%2, %3)-(%4, %5)").arg(i).arg(m.from.x).arg(m.from.y).arg(m.to.x).arg(m.to.y)));
        // And the marker is on screen in its colour, halfway along.
        const QPointF mid = w.form.Picture1->toPixel((m.from.x + m.to.x) / 2, (m.from.y + m.to.y) / 2);
        bool inked = false;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                inked = inked || w.form.Picture1->image().pixelColor(qFloor(mid.x()) + dx, qFloor(mid.y()) + dy) == colours[i];
        QVERIFY(inked || i < markers.size() - 1);  // the last drawn is never covered
    }
}

void CalculateTest::markersUseUnroundedValuesInSinglePrecision()
{
    Window w;
    w.choose("M2");
    w.press("2", "10", "");
    double nu1 = 0;
    w.form.fan().Nu_için_hesap(2, nu1);
    double M2 = 0;
    w.form.fan().M_için_hesap(nu1 + 10, 10, M2);
    const auto markers = w.markers();
    QCOMPARE(markers[0].from, (UserPoint{1, static_cast<float>(-nu1)}));
    QCOMPARE(markers[2].from, (UserPoint{static_cast<float>(M2), 0}));
    QCOMPARE(markers[2].to, (UserPoint{static_cast<float>(M2), static_cast<float>(-(nu1 + 10))}));
    // The ratios too come from the unrounded M2, not from the 2.385 shown.
    const double T = (1 + 0.2 * 4) / (1 + 0.2 * M2 * M2);
    QCOMPARE(w.form.Text_T2T1->text(), QString::number(std::nearbyint(T * 1000) / 1000));
}

void CalculateTest::outputBoxIsShownGreyOnEverySuccess()
{
    Window w;
    w.choose("Teta");
    QVERIFY(!w.form.Text_Teta->isVisible());
    w.press("1.5", "", "2");
    QVERIFY(w.form.Text_Teta->isVisible());
    QCOMPARE(w.form.Text_Teta->palette().color(QPalette::Base), kGrey);
    // Hidden again by hand: the next success shows it again.
    w.form.Text_Teta->setVisible(false);
    w.press("1.5", "", "3");
    QVERIFY(w.form.Text_Teta->isVisible());
    QCOMPARE(w.form.Text_Teta->text(), QString("37.852"));
    // A failed check leaves it as it was.
    w.form.Text_Teta->setVisible(false);
    w.press("0", "", "3");
    QVERIFY(!w.form.Text_Teta->isVisible());
}

void CalculateTest::inputBoxesAreNeverWritten()
{
    Window w;
    w.choose("M2");
    const Press press = w.press(" 2.0000 ", "1e1xyz", "");
    QCOMPARE(press.boxes.mid(0, 3), (QStringList{" 2.0000 ", "1e1xyz", "2.385"}));
}

void CalculateTest::commaLocaleShowsCommas()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Window w;
    w.choose("M2");
    const Press press = w.press("2", "10", "");
    QCOMPARE(press.boxes, (QStringList{"2", "10", "2,385", "26,38", "36,38", "0,548", "0,842"}));
    // Input still needs the point: 2,5 reads as 2.
    QCOMPARE(w.press("2,5", "10", "").boxes[3], QString("26,38"));
}

void CalculateTest::twoPressesInARowAgree()
{
    Window w;
    w.choose("M1");
    const Press first = w.press("", "20", "3");
    const QImage image = w.form.Picture1->image();
    const Press second = w.press("", "20", "3");
    QCOMPARE(second.boxes, first.boxes);
    QCOMPARE(w.markers().size(), 4);
    QCOMPARE(w.form.Picture1->image(), image);
}

void CalculateTest::inversionWithoutSolutionIsReported_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("nu1");
    QTest::addColumn<QString>("nu2");
    QTest::newRow("M2 mode, target below zero") << "M2" << QStringList{"2", "-27", ""}
        << "No M2 gives Teta = -27 with M1 = 2. Teta must lie between -26.38 and 104.074." << "26.38" << "-0.62";
    QTest::newRow("M2 mode, 50 passes") << "M2" << QStringList{"2", "-96", ""}
        << "No M2 gives Teta = -96 with M1 = 2. Teta must lie between -26.38 and 104.074." << "26.38" << "-69.62";
    QTest::newRow("M2 mode, at the limit") << "M2" << QStringList{"2", "104.08", ""}
        << "No M2 gives Teta = 104.08 with M1 = 2. Teta must lie between -26.38 and 104.074." << "26.38" << "130.46";
    QTest::newRow("M2 mode, overflowing") << "M2" << QStringList{"1", "200", ""}
        << "No M2 gives Teta = 200 with M1 = 1. Teta must lie between 0 and 130.454." << "0" << "200";
    QTest::newRow("M2 mode, huge Teta") << "M2" << QStringList{"2", "1e200", ""}
        << "No M2 gives Teta = 1E+200 with M1 = 2. Teta must lie between -26.38 and 104.074." << "26.38" << "1E+200";
    QTest::newRow("M1 mode, target below zero") << "M1" << QStringList{"", "50", "3"}
        << "No M1 gives Teta = 50 with M2 = 3. Teta must lie between -80.697 and 49.757." << "-0.243" << "49.757";
    QTest::newRow("M1 mode, beyond the limit") << "M1" << QStringList{"", "-81", "3"}
        << "No M1 gives Teta = -81 with M2 = 3. Teta must lie between -80.697 and 49.757." << "130.757" << "49.757";
}

void CalculateTest::inversionWithoutSolutionIsReported()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, inputs);
    QFETCH(QString, message);
    QFETCH(QString, nu1);
    QFETCH(QString, nu2);
    Window w;
    w.choose(mode);
    w.press("1.5", "", "2");  // leaves results for the failing press to clear
    w.form.Text_p2p1->setText("0.5");
    w.form.Text_T2T1->setText("0.8");
    (mode == "M1" ? w.form.Text_M1 : w.form.Text_M2)->setText("old");
    const Press press = w.press(inputs[0], inputs[1], inputs[2]);
    QCOMPARE(press.messages, QStringList{message});
    QCOMPARE(press.boxes[3], nu1);
    QCOMPARE(press.boxes[4], nu2);
    QCOMPARE(press.boxes[5], QString());
    QCOMPARE(press.boxes[6], QString());
    QCOMPARE(press.boxes[mode == "M1" ? 0 : 2], QString());
    // Only the given state's red markers were drawn.
    const auto markers = w.markers();
    QCOMPARE(markers.size(), 2);
    for (const auto& m : markers)
        QCOMPARE(m.colour, kRed);
}

void CalculateTest::pressureRatioBeyondDoublesIsReported_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("inputs");
    QTest::newRow("Teta mode") << "Teta" << QStringList{"1e100", "", "1"};
    QTest::newRow("M2 mode") << "M2" << QStringList{"1e100", "0", ""};
}

void CalculateTest::pressureRatioBeyondDoublesIsReported()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, inputs);
    Window w;
    w.choose(mode);
    const Press press = w.press(inputs[0], inputs[1], inputs[2]);
    QCOMPARE(press.messages, QStringList{"p2/p1 is too large to show"});
    QCOMPARE(press.boxes[5], QString());
    // T2/T1 itself is finite and shown in exponent form.
    QVERIFY2(QRegularExpression("^\\d(\\.\\d+)?E\\+\\d+$").match(press.boxes[6]).hasMatch(), qPrintable(press.boxes[6]));
    QCOMPARE(press.boxes[3], QString("130.454"));
}

QTEST_MAIN(CalculateTest)
#include "calculate_test.moc"
