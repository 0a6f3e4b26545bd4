// The main window as the user first meets it: controls in place, keyboard order, the output
// options, the chart and the About window.
#include "about/form_about.h"
#include "widgets/colours.h"
#include "widgets/command_button.h"
#include "widgets/group_frame.h"
#include "calculator/form1.h"
#include "widgets/picture_box.h"
#include "support/window_driver.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QTest>

using velhorn::calculator::Form1;
using velhorn::testing::allBoxes;
using velhorn::widgets::PictureBox;

namespace {

QColor base(const QLineEdit* box) { return box->palette().color(QPalette::Base); }

// The colour of the pixel nearest to a chart point, or of any pixel within `reach` of it that
// has the wanted colour: the toolkit may put a one-pixel line on either side of a boundary.
bool inkNear(const PictureBox& box, double x, double y, const QColor& colour, int reach = 1)
{
    const QPointF p = box.toPixel(x, y);
    for (int dx = -reach; dx <= reach; ++dx)
        for (int dy = -reach; dy <= reach; ++dy) {
            const QPoint q(qFloor(p.x()) + dx, qFloor(p.y()) + dy);
            if (box.image().rect().contains(q) && box.image().pixelColor(q) == colour)
                return true;
        }
    return false;
}

// Shows the window and presses the button once in a mode, with inputs typed into two boxes.
void calculate(Form1& f, QRadioButton* option, QLineEdit* first, const char* firstText, QLineEdit* second,
               const char* secondText)
{
    f.setMessageBox([](const QString&) {});
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTest::mouseClick(option, Qt::LeftButton);
    first->setText(firstText);
    second->setText(secondText);
    QTest::mouseClick(f.Command1, Qt::LeftButton);
}

int countPixels(const QImage& image, const QColor& colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void controlsStandWhereTheLayoutPutsThem_data();
    void controlsStandWhereTheLayoutPutsThem();
    void windowHasItsCaptionMenuAndClientArea();
    void startsEmptyWithNothingSelected();
    void tabVisitsControlsInOrder();
    void enterInABoxPressesNothing();
    void resizingMovesNothing();
    void everyBoxHasAnAccessibleName();

    void optionHidesItsBoxAndClearsEverything_data();
    void optionHidesItsBoxAndClearsEverything();
    void optionAfterACalculationResetsTheGreyBox();
    void optionLeavesTheChartAlone();
    void arrowKeySelectionRunsTheHandler();

    void chartIsBlankUntilFirstDrawn();
    void chartDrawsAxesStartPointAndCurve();
    void chartCurveHasFortySegmentsFromTheCorner();
    void chartDrawnTwiceEqualsOnce();
    void chartClickRedrawsWithoutMarkers();
    void chartSurvivesBeingHiddenAndShown();
    void chartClipsFarAwayLines();

    void aboutOpensOneWindowWithItsLines();
    void aboutReopensAfterClosing();
    void closingMainWindowLeavesAboutRunning();
};

void Form1Test::controlsStandWhereTheLayoutPutsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");
    const auto row = [](const char* name, const char* container, QRect twips) {
        QTest::newRow(name) << name << container << twips;
    };
    row("Picture1", "client", {2400, 120, 3375, 4335});
    row("Frame4", "client", {240, 240, 1935, 1695});
    row("Option_M1", "Frame4", {120, 240, 855, 315});
    row("Text_M1", "Frame4", {1080, 240, 615, 285});
    row("Option_Teta", "Frame4", {120, 720, 855, 255});
    row("Text_Teta", "Frame4", {1080, 720, 615, 285});
    row("Option_M2", "Frame4", {120, 1200, 735, 255});
    row("Text_M2", "Frame4", {1080, 1200, 615, 285});
    row("Command1", "client", {240, 2040, 1935, 495});
    row("Frame2", "client", {240, 2520, 1935, 2175});
    row("Label6", "Frame2", {240, 240, 615, 255});
    row("Text_Nu1", "Frame2", {1080, 240, 615, 285});
    row("Label7", "Frame2", {240, 720, 615, 255});
    row("Text_Nu2", "Frame2", {1080, 720, 615, 285});
    row("Label4", "Frame2", {240, 1200, 615, 375});
    row("Text_p2p1", "Frame2", {1080, 1200, 615, 285});
    row("Label5", "Frame2", {240, 1680, 615, 375});
    row("Text_T2T1", "Frame2", {1080, 1680, 615, 285});
}

void Form1Test::controlsStandWhereTheLayoutPutsThem()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    Form1 f;
    const QHash<QString, QWidget*> controls = {
        {"Picture1", f.Picture1}, {"Frame4", f.Frame4},       {"Option_M1", f.Option_M1},
        {"Text_M1", f.Text_M1},   {"Option_Teta", f.Option_Teta}, {"Text_Teta", f.Text_Teta},
        {"Option_M2", f.Option_M2}, {"Text_M2", f.Text_M2},   {"Command1", f.Command1},
        {"Frame2", f.Frame2},     {"Label6", f.Label6},       {"Text_Nu1", f.Text_Nu1},
        {"Label7", f.Label7},     {"Text_Nu2", f.Text_Nu2},   {"Label4", f.Label4},
        {"Text_p2p1", f.Text_p2p1}, {"Label5", f.Label5},     {"Text_T2T1", f.Text_T2T1},
    };
    QWidget* control = controls.value(name);
    QVERIFY(control);
    QWidget* expectedParent = container == "client" ? f.centralWidget() : controls.value(container);
    QCOMPARE(control->parentWidget(), expectedParent);
    const QRect pixels(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
    QCOMPARE(control->geometry(), pixels);
}

void Form1Test::windowHasItsCaptionMenuAndClientArea()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(f.windowTitle(), QString("Velhorn"));
    QCOMPARE(f.centralWidget()->size(), QSize(407, 316));
    const QList<QAction*> menu = f.menuBar()->actions();
    QCOMPARE(menu.size(), 1);
    QCOMPARE(menu.first(), f.Mn_About);
    QCOMPARE(f.Mn_About->text(), QString("About"));
    QVERIFY(f.Mn_About->menu() == nullptr);
    QCOMPARE(f.Frame4->title(), QString("Output options"));
    QVERIFY(f.Frame2->title().isEmpty());
    QCOMPARE(f.Option_M1->text(), QString("M1 ="));
    QCOMPARE(f.Option_Teta->text(), QString("Teta ="));
    QCOMPARE(f.Option_M2->text(), QString("M2 ="));
    QCOMPARE(f.Label6->text(), QString("Nu1 ="));
    QCOMPARE(f.Label7->text(), QString("Nu2 ="));
    QCOMPARE(f.Label4->text(), QString("p2/p1 ="));
    QCOMPARE(f.Label5->text(), QString("T2/T1 ="));
    // Every caption fits its control (the button wraps onto a second line where it must).
    for (QRadioButton* option : velhorn::testing::options(f)) {
        QStyleOptionButton style;
        style.initFrom(option);
        style.text = option->text();
        const QRect room = option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option);
        QVERIFY2(option->fontMetrics().horizontalAdvance(option->text()) <= room.width(), qPrintable(option->text()));
    }
    for (QLabel* l : {f.Label6, f.Label7, f.Label4, f.Label5})
        QVERIFY2(l->heightForWidth(l->width()) <= l->height() || l->sizeHint().width() <= l->width(),
                 qPrintable(l->text()));
    for (const QString& caption : {QString("Choose an Output option"), QString("SET input values then CLICK")}) {
        f.Command1->setCaption(caption);
        const QStringList lines = f.Command1->text().split('\n');
        QCOMPARE(lines.join(' '), caption);
        for (const QString& line : lines)
            QVERIFY2(f.Command1->fontMetrics().horizontalAdvance(line) <= f.Command1->width() - 4, qPrintable(line));
        QVERIFY(f.Command1->fontMetrics().lineSpacing() * lines.size() <= f.Command1->height() - 4);
    }
}

void Form1Test::startsEmptyWithNothingSelected()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QVERIFY(!f.Option_M1->isChecked() && !f.Option_Teta->isChecked() && !f.Option_M2->isChecked());
    for (QLineEdit* box : allBoxes(f)) {
        QVERIFY(box->isVisible());
        QVERIFY(box->text().isEmpty());
        QVERIFY(!box->isReadOnly());
        QCOMPARE(base(box), QColor(Qt::white));
    }
    QCOMPARE(f.Command1->caption(), QString("Choose an Output option"));
    QCOMPARE(f.Picture1->backColor(), QColor(255, 255, 192));
    QCOMPARE(countPixels(f.Picture1->image(), QColor(255, 255, 192)),
             f.Picture1->image().width() * f.Picture1->image().height());
    // The constants exist before the window is shown.
    QCOMPARE(f.fan().Lambda, std::sqrt(6.0));
}

void Form1Test::tabVisitsControlsInOrder()
{
    Form1 f;
    f.show();
    QApplication::setActiveWindow(&f);
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Picture1));
    // The three option buttons form one group, which the toolkit makes a single stop (null
    // below); the arrow keys move within it.
    const QList<QWidget*> order = {f.Text_Nu2, f.Text_M1, nullptr, f.Text_Teta, f.Text_M2,
                                   f.Text_Nu1, f.Text_p2p1, f.Text_T2T1, f.Command1, f.Picture1};
    const auto expectFocus = [&](QWidget* expected) {
        QWidget* focus = QApplication::focusWidget();
        if (expected)
            return focus == expected;
        return qobject_cast<QRadioButton*>(focus) && focus->parentWidget() == f.Frame4;
    };
    for (QWidget* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(expectFocus(expected));
    }
    for (int i = order.size() - 2; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QVERIFY(expectFocus(order[i]));
    }
}

void Form1Test::enterInABoxPressesNothing()
{
    Form1 f;
    QStringList messages;
    f.setMessageBox([&](const QString& text) { messages << text; });
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QSignalSpy pressed(f.Command1, &QPushButton::clicked);
    for (QLineEdit* box : velhorn::testing::inputBoxes(f)) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter);
    }
    QCOMPARE(pressed.count(), 0);
    QVERIFY(messages.isEmpty());
    QVERIFY(!f.Command1->isDefault());
    QVERIFY(!f.Command1->autoDefault());
}

void Form1Test::resizingMovesNothing()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QList<QRect> before;
    const QList<QWidget*> children = f.centralWidget()->findChildren<QWidget*>();
    for (QWidget* w : children)
        before << w->geometry();
    for (const QSize size : {QSize(900, 700), QSize(200, 150), QSize(407, 334)}) {
        f.resize(size);
        QApplication::processEvents();
        for (int i = 0; i < children.size(); ++i)
            QCOMPARE(children[i]->geometry(), before[i]);
    }
}

void Form1Test::everyBoxHasAnAccessibleName()
{
    Form1 f;
    const QStringList names = {"M1", "Teta", "M2", "Nu1", "Nu2", "p2/p1", "T2/T1"};
    const QList<QLineEdit*> boxes = allBoxes(f);
    for (int i = 0; i < boxes.size(); ++i)
        QCOMPARE(boxes[i]->accessibleName(), names[i]);
}

void Form1Test::optionHidesItsBoxAndClearsEverything_data()
{
    QTest::addColumn<int>("option");
    QTest::newRow("M1") << 0;
    QTest::newRow("Teta") << 1;
    QTest::newRow("M2") << 2;
}

void Form1Test::optionHidesItsBoxAndClearsEverything()
{
    QFETCH(int, option);
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    for (QLineEdit* box : allBoxes(f))
        box->setText("typed before");
    const QList<QRadioButton*> options = velhorn::testing::options(f);
    const QList<QLineEdit*> inputs = velhorn::testing::inputBoxes(f);
    QTest::mouseClick(options[option], Qt::LeftButton);
    QVERIFY(options[option]->isChecked());
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(inputs[i]->isVisible(), i != option);
        QCOMPARE(base(inputs[i]), QColor(255, 255, 255));
    }
    for (QLineEdit* box : allBoxes(f))
        QVERIFY2(box->text().isEmpty(), qPrintable(box->accessibleName()));
    QCOMPARE(f.Command1->caption(), QString("SET input values then CLICK"));
    // Selecting it again is harmless.
    f.Text_Nu1->setText("x");
    QTest::mouseClick(options[option], Qt::LeftButton);
    QVERIFY(options[option]->isChecked());
    QCOMPARE(inputs[option]->isVisible(), false);
}

void Form1Test::optionAfterACalculationResetsTheGreyBox()
{
    Form1 f;
    calculate(f, f.Option_M1, f.Text_M2, "3", f.Text_Teta, "20");
    QVERIFY(f.Text_M1->isVisible());
    QCOMPARE(base(f.Text_M1), QColor(200, 200, 200));

    QTest::mouseClick(f.Option_Teta, Qt::LeftButton);
    QVERIFY(f.Text_M1->isVisible());
    QCOMPARE(base(f.Text_M1), QColor(255, 255, 255));
    QVERIFY(!f.Text_Teta->isVisible());
    for (QLineEdit* box : allBoxes(f))
        QVERIFY(box->text().isEmpty());
    QCOMPARE(f.Command1->caption(), QString("SET input values then CLICK"));
}

void Form1Test::optionLeavesTheChartAlone()
{
    Form1 f;
    calculate(f, f.Option_M2, f.Text_M1, "2", f.Text_Teta, "10");
    const QImage withMarkers = f.Picture1->image();
    const auto strokes = f.Picture1->strokesSinceClear().size();
    QTest::mouseClick(f.Option_M1, Qt::LeftButton);
    QCOMPARE(f.Picture1->image(), withMarkers);
    QCOMPARE(f.Picture1->strokesSinceClear().size(), strokes);
}

void Form1Test::arrowKeySelectionRunsTheHandler()
{
    Form1 f;
    f.show();
    QApplication::setActiveWindow(&f);
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::mouseClick(f.Option_M1, Qt::LeftButton);
    f.Text_Teta->setText("5");
    f.Option_M1->setFocus();
    QTest::keyClick(f.Option_M1, Qt::Key_Down);
    QVERIFY(f.Option_Teta->isChecked());
    QVERIFY(!f.Text_Teta->isVisible());
    QVERIFY(f.Text_Teta->text().isEmpty());
}

void Form1Test::chartIsBlankUntilFirstDrawn()
{
    Form1 f;
    QStringList messages;
    f.setMessageBox([&](const QString& text) { messages << text; });
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const QImage& image = f.Picture1->image();
    QCOMPARE(countPixels(image, QColor(255, 255, 192)), image.width() * image.height());
    // Pressing the button with no option chosen draws nothing either.
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    QCOMPARE(messages, QStringList{"Choose an output option"});
    QCOMPARE(countPixels(f.Picture1->image(), QColor(255, 255, 192)), image.width() * image.height());
}

void Form1Test::chartDrawsAxesStartPointAndCurve()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTest::mouseClick(f.Picture1, Qt::LeftButton);
    const PictureBox& box = *f.Picture1;
    const QImage& image = box.image();
    const QColor yellow(255, 255, 192), black(Qt::black), red(255, 0, 0);

    // Corners of the drawing area map to the corners of the user coordinates.
    QCOMPARE(box.toPixel(0.5, -80), QPointF(0, 0));
    QCOMPARE(box.toPixel(5.5, 5), QPointF(image.width(), image.height()));
    QCOMPARE(image.pixelColor(0, 0), yellow);
    QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), yellow);

    // The nu axis at M = 1 from nu = 0 to 75, the M axis at nu = 0 from M = 1 to 5.
    for (double nu : {5.0, 30.0, 60.0, 74.0})
        QVERIFY2(inkNear(box, 1, -nu, black), qPrintable(QString::number(nu)));
    QVERIFY(!inkNear(box, 1, -78, black));
    for (double M : {1.5, 3.0, 4.9})
        QVERIFY2(inkNear(box, M, 0, black), qPrintable(QString::number(M)));
    QVERIFY(!inkNear(box, 5.3, 0, black));

    // The curve passes through the tabulated points and tops out above the nu axis.
    struct { double M, nu; } points[] = {{1.1, 1.336}, {1.5, 11.905}, {2, 26.380}, {3, 49.757}, {5, 76.920}};
    for (const auto& p : points)
        QVERIFY2(inkNear(box, p.M, -p.nu, red), qPrintable(QString::number(p.M)));
    QVERIFY(box.toPixel(5, -76.92).y() < box.toPixel(1, -75).y());
    QVERIFY(countPixels(image, red) > 100);
    QCOMPARE(countPixels(image, QColor(0, 0, 255)), 0);
}

void Form1Test::chartCurveHasFortySegmentsFromTheCorner()
{
    Form1 f;
    f.grafik();
    const auto& strokes = f.Picture1->strokesSinceClear();
    using Kind = PictureBox::Stroke::Kind;
    QCOMPARE(strokes.size(), velhorn::testing::kBareChartStrokes);
    QCOMPARE(strokes[0].colour, QColor(Qt::black));
    QCOMPARE(strokes[0].to, (velhorn::widgets::UserPoint{1, -75}));
    QCOMPARE(strokes[1].to, (velhorn::widgets::UserPoint{5, 0}));
    QVERIFY(strokes[2].kind == Kind::Point);
    QCOMPARE(strokes[2].from, (velhorn::widgets::UserPoint{1, 0}));
    QCOMPARE(strokes[2].colour, QColor(Qt::black));
    // The turning-angle table at some of the vertices; nu rises at every one.
    const QHash<int, double> reference = {{11, 1.336}, {15, 11.905}, {20, 26.380}, {30, 49.757}, {50, 76.920}};
    for (int i = 11; i <= 50; ++i) {
        const auto& s = strokes[static_cast<size_t>(i - 11 + 3)];
        QVERIFY(s.kind == Kind::Segment);
        QCOMPARE(s.colour, QColor(255, 0, 0));
        QCOMPARE(s.to.x, static_cast<float>(i / 10.0));
        QVERIFY(s.to.y < s.from.y);
        if (reference.contains(i))
            QVERIFY2(std::fabs(s.to.y + reference[i]) < 5e-4, qPrintable(QString::number(s.to.y)));
        QCOMPARE(s.from, i == 11 ? (velhorn::widgets::UserPoint{1, 0}) : strokes[static_cast<size_t>(i - 11 + 2)].to);
    }
}

void Form1Test::chartDrawnTwiceEqualsOnce()
{
    Form1 f;
    f.grafik();
    const QImage once = f.Picture1->image();
    f.grafik();
    QCOMPARE(f.Picture1->image(), once);
    QCOMPARE(f.Picture1->strokesSinceClear().size(), velhorn::testing::kBareChartStrokes);
}

void Form1Test::chartClickRedrawsWithoutMarkers()
{
    Form1 f;
    f.grafik();
    const QImage bare = f.Picture1->image();
    calculate(f, f.Option_Teta, f.Text_M1, "1.5", f.Text_M2, "2");
    QVERIFY(f.Picture1->image() != bare);
    const QStringList texts = [&] { QStringList t; for (QLineEdit* b : allBoxes(f)) t << b->text(); return t; }();
    QTest::mouseClick(f.Picture1, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f.Picture1->image(), bare);
    QStringList after;
    for (QLineEdit* b : allBoxes(f))
        after << b->text();
    QCOMPARE(after, texts);
}

void Form1Test::chartSurvivesBeingHiddenAndShown()
{
    Form1 f;
    calculate(f, f.Option_M2, f.Text_M1, "2", f.Text_Teta, "10");
    const QImage drawn = f.Picture1->grab().toImage();
    f.showMinimized();
    QApplication::processEvents();
    f.hide();
    QApplication::processEvents();
    f.showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QCOMPARE(f.Picture1->grab().toImage(), drawn);
    QVERIFY(countPixels(drawn, QColor(0, 0, 255)) > 10);
}

void Form1Test::chartClipsFarAwayLines()
{
    Form1 f;
    f.grafik();
    const QImage bare = f.Picture1->image();
    using velhorn::widgets::UserPoint;
    const float inf = std::numeric_limits<float>::infinity();
    f.Picture1->Line(UserPoint::fromDouble(1e300, 0), UserPoint::fromDouble(1e300, -50), QColor(0, 0, 255));
    f.Picture1->Line(UserPoint{6, -90}, UserPoint{100, -1000}, QColor(0, 0, 255));
    f.Picture1->Line(UserPoint{inf, inf}, UserPoint{inf, -inf}, QColor(0, 0, 255));
    f.Picture1->PSet(UserPoint{inf, 0}, QColor(0, 0, 255));
    QCOMPARE(f.Picture1->image(), bare);
    // A line from inside to far outside is drawn up to the edge.
    f.Picture1->Line(UserPoint::fromDouble(1, -40), UserPoint::fromDouble(1e200, -40), QColor(0, 0, 255));
    QVERIFY(inkNear(*f.Picture1, 5.45, -40, QColor(0, 0, 255)));
    QCOMPARE(UserPoint::fromDouble(1e200, -1e200).x, inf);
    QCOMPARE(UserPoint::fromDouble(1e200, -1e200).y, -inf);
}

void Form1Test::aboutOpensOneWindowWithItsLines()
{
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QVERIFY(f.aboutWindow() == nullptr);
    f.Mn_About->trigger();
    auto* about = f.aboutWindow();
    QVERIFY(about);
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QCOMPARE(about->windowTitle(), QString("About"));
    QCOMPARE(about->size(), QSize(240, 118));
    QVERIFY(!about->isModal());
    QVERIFY(about->parentWidget() == nullptr);
    QCOMPARE(about->palette().color(QPalette::Window), QColor(255, 255, 192));
    struct Line { QLabel* label; const char* text; QRect twips; double points; QColor colour; };
    const Line lines[] = {
        {about->Label2, "Program for calculating", {480, 120, 2415, 255}, 9.75, QColor(0, 128, 0)},
        {about->Label3, "Velhorn", {840, 360, 1815, 255}, 9.75, QColor(0, 128, 0)},
        {about->Label7, nullptr, {480, 600, 2775, 255}, 8.25, QColor(Qt::black)},
        {about->Label8, "March 2006", {1200, 840, 1095, 255}, 8.25, QColor(Qt::black)},
        {about->Label4, "For comments and questions e-mail to", {120, 1080, 3375, 255}, 8.25, QColor(Qt::black)},
        {about->Label5, nullptr, {840, 1320, 1935, 255}, 8.25, QColor(0, 0, 255)},
    };
    for (const Line& line : lines) {
        if (line.text)
            QCOMPARE(line.label->text(), QString(line.text));
        const QRect px(line.twips.x() / 15, line.twips.y() / 15, line.twips.width() / 15, line.twips.height() / 15);
        QCOMPARE(line.label->geometry(), px);
        QCOMPARE(line.label->font().pointSizeF(), line.points);
        QCOMPARE(line.label->palette().color(QPalette::WindowText), line.colour);
        QVERIFY2(line.label->sizeHint().width() <= line.label->width(), qPrintable(line.label->text()));
    }
    QVERIFY(about->Label5->text().endsWith("@example.org"));

    f.Mn_About->trigger();
    QCOMPARE(f.aboutWindow(), about);
    int aboutWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        aboutWindows += qobject_cast<velhorn::about::Form_About*>(w) != nullptr;
    QCOMPARE(aboutWindows, 1);
}

void Form1Test::aboutReopensAfterClosing()
{
    Form1 f;
    f.show();
    f.Mn_About->trigger();
    auto* about = f.aboutWindow();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    about->close();
    QVERIFY(!about->isVisible());
    f.Mn_About->trigger();
    QCOMPARE(f.aboutWindow(), about);
    QVERIFY(about->isVisible());
    QCOMPARE(about->Label2->text(), QString("Program for calculating"));
}

void Form1Test::closingMainWindowLeavesAboutRunning()
{
    Form1 f;
    f.setMessageBox([](const QString&) {});
    QVERIFY(QApplication::quitOnLastWindowClosed());
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.Mn_About->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(f.aboutWindow()));
    // The main window keeps working beside the About window.
    QTest::mouseClick(f.Option_M2, Qt::LeftButton);
    f.Text_M1->setText("2");
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    QCOMPARE(f.Text_M2->text(), QString("2"));

    // Run the real event loop: it ends only when the last window is closed.
    bool aboutOpenAfterMainClosed = false;
    bool timedOut = false;
    QTimer::singleShot(0, &f, [&] { f.close(); });
    QTimer::singleShot(100, &f, [&] {
        aboutOpenAfterMainClosed = f.aboutWindow()->isVisible() && !f.isVisible();
        f.aboutWindow()->close();
    });
    QTimer::singleShot(5000, &f, [&] {
        timedOut = true;
        QApplication::quit();
    });
    QApplication::exec();
    QVERIFY(aboutOpenAfterMainClosed);
    QVERIFY(!timedOut);
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
