// The window as other desktops show it: dark palettes, other styles, the fonts at hand (CTest
// runs this again with only DejaVu installed) and fractional scales (again at 1.25x to 2x).
// The window icon is checked on a real X server, by the real-window test.
#include "about/form_about.h"
#include "widgets/colours.h"
#include "support/window_driver.h"

#include <QApplication>
#include <QFontInfo>
#include <QHash>
#include <QLabel>
#include <QStyle>
#include <QStyleFactory>

#include <cmath>

using velhorn::widgets::contrastRatio;
using velhorn::testing::PictureBox;
using velhorn::testing::Window;

namespace {

// A dark scheme as dark-theme tools set it: light text on dark windows and boxes.
QPalette darkPalette() { return QPalette(QColor(0x35, 0x35, 0x35)); }

// The colour most of the widget's inside shows, and the strongest contrast any pixel of the
// inside makes with it: the text, where there is text. The frame's edge is left out.
double inkContrast(QWidget* widget, int edge)
{
    const QImage image = widget->grab().toImage();
    const QRect inside = image.rect().adjusted(edge, edge, -edge, -edge);
    QHash<QRgb, int> counts;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y)];
    const QColor background = QColor::fromRgb(std::max_element(counts.keyValueBegin(), counts.keyValueEnd(),
                                                                [](auto a, auto b) { return a.second < b.second; })->first);
    double best = 1;
    for (auto it = counts.keyBegin(); it != counts.keyEnd(); ++it)
        best = std::max(best, contrastRatio(background, QColor::fromRgb(*it)));
    return best;
}

// Whether the box shows its text from the start: it looks the same after being told to.
bool showsItsStart(QLineEdit* box)
{
    const QImage shown = box->grab().toImage();
    box->setCursorPosition(0);
    return box->grab().toImage() == shown;
}

// Whether all of `text` fits in the box: scrolling to its end changes nothing.
bool showsWhole(QLineEdit* box, const QString& text)
{
    box->setText(text);
    box->setCursorPosition(0);
    const QImage start = box->grab().toImage();
    box->setCursorPosition(static_cast<int>(text.size()));
    return box->grab().toImage() == start;
}

// Device pixels of `colour` in a straight run through `at` (in logical pixels), along x or y.
int runLength(const QImage& image, QPointF at, const QColor& colour, bool alongX)
{
    const QPoint centre = (at * image.devicePixelRatio()).toPoint();
    const QPoint step = alongX ? QPoint(1, 0) : QPoint(0, 1);
    int n = 0;
    for (int d = -6; d <= 6; ++d)
        n += image.rect().contains(centre + d * step) && image.pixelColor(centre + d * step) == colour;
    return n;
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void readableUnderEveryStyleAndPalette_data();
    void readableUnderEveryStyleAndPalette();
    void chartLinesOfOneKindShareOneWidth();
    void chartTellsAScreenReaderWhatItShows_data();
    void chartTellsAScreenReaderWhatItShows();
};

void DesktopTest::readableUnderEveryStyleAndPalette_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("dark");
    for (const char* style : {"Fusion", "Windows", "Adwaita", "Adwaita-Dark"})
        for (bool dark : {false, true})
            QTest::addRow("%s, %s", style, dark ? "dark palette" : "its own palette") << style << dark;
}

void DesktopTest::readableUnderEveryStyleAndPalette()
{
    QFETCH(QString, style);
    QFETCH(bool, dark);
    QStyle* s = QStyleFactory::create(style);
    QVERIFY2(s, qPrintable(style + " is not installed"));
    QApplication::setStyle(s);
    QApplication::setPalette(dark ? darkPalette() : s->standardPalette());
    // Set by CTest for the run with a single font family installed.
    const QString family = qEnvironmentVariable("VELHORN_EXPECTED_FAMILY");

    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    if (!family.isEmpty())
        QCOMPARE(QFontInfo(w.form.font()).family(), family);
    for (QLabel* caption : {w.form.Label6, w.form.Label7, w.form.Label4, w.form.Label5})
        QVERIFY2(caption->sizeHint().width() <= caption->width(), qPrintable(caption->text() + " wraps"));
    // Five characters, as the layout's own font and frames show them.
    for (QLineEdit* box : w.boxes())
        for (const char* result : {"26.38", "0.548", "-8.25", "88888"})
            QVERIFY2(showsWhole(box, result), qPrintable(box->accessibleName() + " cuts " + QString(result)));

    // Typed inputs on white and the result on grey: the program chose those backgrounds.
    constexpr double kReadable = 4.5;
    constexpr int kFrame = 3;
    w.choose("M2");
    w.press("2", "103.93", "");
    QCOMPARE(w.form.Text_M2->text(), QString("1980.768"));
    QVERIFY(showsItsStart(w.form.Text_M2));
    for (QLineEdit* box : {w.form.Text_M1, w.form.Text_Teta, w.form.Text_M2})
        QVERIFY2(inkContrast(box, kFrame) >= kReadable, qPrintable(box->accessibleName()));

    w.form.Mn_About_Click();
    auto* about = w.form.aboutWindow();
    for (QLabel* line : {about->Label2, about->Label3, about->Label7, about->Label8, about->Label4, about->Label5})
        QVERIFY2(inkContrast(line, 0) >= kReadable, qPrintable(line->text()));
    about->close();
}

void DesktopTest::chartLinesOfOneKindShareOneWidth()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    w.choose("M2");
    w.press("2", "10", "");
    const PictureBox& chart = *w.form.Picture1;
    const QImage& image = chart.image();
    const int expected = std::max(1, qRound(image.devicePixelRatio()));
    const QColor black(0, 0, 0), red(255, 0, 0), blue(0, 0, 255);
    // Across vertical lines: the nu axis and both states' markers from the M axis.
    for (auto [M, nu, colour] : {std::tuple{1.0, 40.0, black}, {1.0, 60.0, black}, {2.0, 13.0, red},
                                 {2.385, 18.0, blue}})
        QCOMPARE(runLength(image, chart.toPixel(M, -nu), colour, true), expected);
    // Across horizontal lines: the M axis and both states' markers from the nu axis.
    for (auto [M, nu, colour] : {std::tuple{3.0, 0.0, black}, {4.0, 0.0, black}, {1.5, 26.38, red},
                                 {1.5, 36.38, blue}})
        QCOMPARE(runLength(image, chart.toPixel(M, -nu), colour, false), expected);
    // The found state's vertical marker ends on the curve.
    const QPoint top = (chart.toPixel(2.385, -36.38) * image.devicePixelRatio()).toPoint();
    bool meets = false;
    for (int dx = -2 * expected; dx <= 2 * expected; ++dx)
        for (int dy = -2 * expected; dy <= 2 * expected; ++dy)
            meets = meets || image.pixelColor(top + QPoint(dx, dy)) == red;
    QVERIFY(meets);
}

void DesktopTest::chartTellsAScreenReaderWhatItShows_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("description");
    QTest::newRow("M2 found") << "M2" << QStringList{"2", "10", ""}
                              << QString("state 1: M = 2, \u03BD = 26.38, given; state 2: M = 2.385, \u03BD = 36.38, found");
    QTest::newRow("M1 found") << "M1" << QStringList{"", "20", "3"}
                              << QString("state 1: M = 2.125, \u03BD = 29.757, found; state 2: M = 3, \u03BD = 49.757, given");
    QTest::newRow("Teta found") << "Teta" << QStringList{"1.5", "", "2"}
                                << QString("state 1: M = 1.5, \u03BD = 11.905, given; state 2: M = 2, \u03BD = 26.38, given");
    QTest::newRow("no M2") << "M2" << QStringList{"2", "200", ""} << QString("state 1: M = 2, \u03BD = 26.38, given");
}

void DesktopTest::chartTellsAScreenReaderWhatItShows()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, inputs);
    QFETCH(QString, description);
    Window w;
    w.choose(mode);
    w.press(inputs[0], inputs[1], inputs[2]);
    QCOMPARE(w.form.Picture1->accessibleDescription(), description);
    QTest::mouseClick(w.form.Picture1, Qt::LeftButton);
    QCOMPARE(w.form.Picture1->accessibleDescription(), QString("bare chart"));
}

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
