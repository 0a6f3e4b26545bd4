// The window applies a press: the boxes, the grey output box, the markers on the chart, the
// message box and the locale's separator. What a press computes is tested without a window, in
// press_test.
#include "support/window_driver.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QTest>

using velhorn::testing::Press;
using velhorn::testing::Window;
using velhorn::widgets::PictureBox;
using velhorn::widgets::UserPoint;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGrey(200, 200, 200);
const QString kUntouched = "untouched";

}  // namespace

class CalculateTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void windowShowsThePress();
    void checkStopsWithItsMessageAndABareChart();
    void noOptionChangesNothing();
    void outputBoxIsShownGreyOnEverySuccess();
    void failedInversionEmptiesEarlierResults();
    void commaLocaleShowsCommas();
    void twoPressesInARowAgree();
};

void CalculateTest::windowShowsThePress()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.choose("M2");
    const Press press = w.press("2", "10", "");
    QCOMPARE(press.messages, QStringList());
    QCOMPARE(press.boxes, (QStringList{"2", "10", "2.385", "26.38", "36.38", "0.548", "0.842"}));
    // The markers, unrounded in single precision (nu(2) = 26.379760813..., M2 = 2.38488...), in
    // their order and colours, and on screen halfway along; the last drawn is never covered.
    const auto markers = w.markers();
    QCOMPARE(markers.size(), 4);
    QCOMPARE(markers[0].from, (UserPoint{1, static_cast<float>(-26.379760813416457)}));
    QCOMPARE(markers[2].from.x, static_cast<float>(2.384887154593069));
    const QList<QColor> colours{kRed, kRed, kBlue, kBlue};
    for (int i = 0; i < markers.size(); ++i) {
        const auto& m = markers[i];
        QVERIFY(m.kind == PictureBox::Stroke::Kind::Segment);
        QCOMPARE(m.colour, colours[i]);
        const QPointF mid = w.form.Picture1->toPixel((m.from.x + m.to.x) / 2, (m.from.y + m.to.y) / 2);
        bool inked = false;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                inked = inked || w.form.Picture1->image().pixelColor(qFloor(mid.x()) + dx, qFloor(mid.y()) + dy) == colours[i];
        QVERIFY(inked || i < markers.size() - 1);
    }
}

void CalculateTest::checkStopsWithItsMessageAndABareChart()
{
    Window w;
    w.choose("M1");
    // Results of an earlier press stay where they are.
    for (QLineEdit* box : {w.form.Text_Nu1, w.form.Text_Nu2, w.form.Text_p2p1, w.form.Text_T2T1})
        box->setText(kUntouched);
    w.form.Picture1->Line({1, 0}, {3, -30}, kBlue);
    const Press press = w.press("", "5", "0.99");
    QCOMPARE(press.messages, QStringList{"M2 must be greater then 1"});
    QCOMPARE(press.boxes.mid(0, 3), (QStringList{"", "5", "0.99"}));
    QCOMPARE(press.boxes.mid(3), QStringList(4, kUntouched));
    // The chart was redrawn, bare, before the check.
    QCOMPARE(w.form.Picture1->strokesSinceClear().size(), size_t{velhorn::testing::kBareChartStrokes});
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

void CalculateTest::failedInversionEmptiesEarlierResults()
{
    Window w;
    w.choose("M2");
    w.press("1.5", "5", "");
    w.form.Text_p2p1->setText("0.5");
    w.form.Text_T2T1->setText("0.8");
    w.form.Text_M2->setText("old");
    const Press press = w.press("2", "-27", "");
    QCOMPARE(press.messages,
             QStringList{"No M2 gives Teta = -27 with M1 = 2. Teta must lie between -26.38 and 104.074."});
    QCOMPARE(press.boxes, (QStringList{"2", "-27", "", "26.38", "-0.62", "", ""}));
    const auto markers = w.markers();
    QCOMPARE(markers.size(), 2);
    for (const auto& m : markers)
        QCOMPARE(m.colour, kRed);
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

QTEST_MAIN(CalculateTest)
#include "calculate_test.moc"
