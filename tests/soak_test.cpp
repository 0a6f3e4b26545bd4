// Ten thousand presses over varied inputs in every mode, and ten thousand clicks on the chart,
// in one process: memory settles and no file handle is left behind.
#include "support/window_driver.h"
#include "widgets/picture_box.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <unistd.h>

using velhorn::calculator::Form1;

namespace {

qint64 residentBytes()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

qsizetype openHandles()
{
    return QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size();
}

}  // namespace

class SoakTest : public QObject {
    Q_OBJECT
private slots:
    void manyPressesAndClicks();
};

void SoakTest::manyPressesAndClicks()
{
    Form1 f;
    qint64 messages = 0;
    f.setMessageBox([&](const QString&) { ++messages; });
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));

    const QList<QRadioButton*> options = velhorn::testing::options(f);
    const QList<QLineEdit*> inputs = velhorn::testing::inputBoxes(f);
    const QStringList machs = {"1", "1.5", "2", "3.7", "10", "0.5", "", "abc", "1e100", "1e400", "2,5", "1 .5"};
    const QStringList angles = {"0", "10", "-5", "26.38", "130", "-96", "", "1e200", "x", "45.25"};
    const auto press = [&](int n) {
        const int mode = n % 3;
        QTest::mouseClick(options[mode], Qt::LeftButton);
        for (int i = 0; i < 3; ++i)
            if (i != mode)
                inputs[i]->setText(i == 1 ? angles[(n / 3) % angles.size()] : machs[(n * 7 + i) % machs.size()]);
        QTest::mouseClick(f.Command1, Qt::LeftButton);
        if (n % 50 == 0)
            QApplication::processEvents();
    };

    constexpr int kWarmUp = 100;
    constexpr int kPresses = 10'000;
    for (int n = 0; n < kWarmUp; ++n)
        press(n);
    QApplication::processEvents();
    const qint64 warmRss = residentBytes();
    const qsizetype warmHandles = openHandles();
    const qsizetype warmWindows = QApplication::topLevelWidgets().size();

    for (int n = kWarmUp; n < kPresses; ++n)
        press(n);
    for (int n = 0; n < kPresses; ++n) {
        QTest::mouseClick(f.Picture1, Qt::LeftButton, {}, QPoint(10 + n % 200, 10 + n % 250));
        if (n % 50 == 0)
            QApplication::processEvents();
    }
    QApplication::processEvents();
    const qint64 endRss = residentBytes();

    std::printf("soak: %d presses (%lld messages), %d chart clicks\n", kPresses, static_cast<long long>(messages), kPresses);
    std::printf("soak: resident memory after %d presses %.2f MiB, at the end %.2f MiB (growth %+.3f MiB)\n",
                kWarmUp, warmRss / 1048576.0, endRss / 1048576.0, (endRss - warmRss) / 1048576.0);
    std::printf("soak: open file handles %lld -> %lld, top-level windows %lld -> %lld\n",
                static_cast<long long>(warmHandles), static_cast<long long>(openHandles()),
                static_cast<long long>(warmWindows), static_cast<long long>(QApplication::topLevelWidgets().size()));
    QVERIFY(endRss - warmRss <= 1 << 20);
    QCOMPARE(openHandles(), warmHandles);
    QCOMPARE(QApplication::topLevelWidgets().size(), warmWindows);
    QCOMPARE(f.Picture1->strokesSinceClear().size(), velhorn::testing::kBareChartStrokes);
}

QTEST_MAIN(SoakTest)
#include "soak_test.moc"
