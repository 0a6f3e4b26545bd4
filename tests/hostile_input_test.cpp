// Whatever lands in a box, a press ends quickly with a result or one clear message, and the
// other boxes keep what they held.
#include "support/window_driver.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using velhorn::calculator::Form1;

class HostileInputTest : public QObject {
    Q_OBJECT
private slots:
    void pressEndsCleanly_data();
    void pressEndsCleanly();
    void pastedMegabyteStaysWhole();
    void junkInResultBoxesIsReplaced();

public:
    qint64 slowestPressNs = 0;
};

void HostileInputTest::pressEndsCleanly_data()
{
    QTest::addColumn<int>("mode");  // 0: M1, 1: Teta, 2: M2
    QTest::addColumn<int>("box");   // which input box gets the text: 0 M1, 1 Teta, 2 M2
    QTest::addColumn<QString>("text");
    const QList<QPair<const char*, QString>> texts = {
        {"megabyte of digits", QString(1 << 20, u'7')},
        {"megabyte number then junk", "2." + QString((1 << 20) - 2, u'5')},
        {"megabyte of blanks then 3", QString((1 << 20) - 1, u' ') + "3"},
        {"megabyte of mixed text", QString(1 << 18, u'x') + QString(1 << 18, QChar(0x05D0)) + QString(1 << 19, u'9')},
        {"control characters", QString::fromUtf16(u"\u0001\u0002\r\n\t2\u0007\u001b[0m")},
        {"nul inside", QString::fromUtf16(u"2\u00005", 3)},
        {"arabic-indic digits", QString::fromUtf16(u"\u0662\u066B\u0665")},
        {"devanagari digits", QString::fromUtf16(u"\u0968")},
        {"fullwidth digits", QString::fromUtf16(u"\uFF12\uFF0E\uFF15")},
        {"right-to-left mark first", QString::fromUtf16(u"\u200F2.5")},
        {"right-to-left mark inside", QString::fromUtf16(u"2\u200F.5")},
        {"lone surrogate", QString(QChar(0xD800)) + "2"},
        {"emoji", QString::fromUtf16(u"\U0001F680 3")},
        {"exponent without end", "1e9999999999999999999999999999"},
        {"tiny exponent", "1e-9999999999"},
        {"signs only", "+-+-"},
    };
    for (int mode = 0; mode < 3; ++mode)
        for (int box = 0; box < 3; ++box) {
            if (box == mode)
                continue;
            for (const auto& [name, text] : texts)
                QTest::newRow(qPrintable(QString("mode %1, box %2, %3").arg(mode).arg(box).arg(name)))
                    << mode << box << text;
        }
}

void HostileInputTest::pressEndsCleanly()
{
    QFETCH(int, mode);
    QFETCH(int, box);
    QFETCH(QString, text);
    Form1 f;
    QStringList messages;
    f.setMessageBox([&](const QString& message) { messages << message; });
    const QList<QRadioButton*> options = velhorn::testing::options(f);
    const QList<QLineEdit*> inputs = velhorn::testing::inputBoxes(f);
    const QString fair[] = {"2", "10", "3"};
    QTest::mouseClick(options[mode], Qt::LeftButton);
    for (int i = 0; i < 3; ++i)
        inputs[i]->setText(i == box ? text : fair[i]);

    QElapsedTimer timer;
    timer.start();
    f.Command1->click();
    const qint64 elapsed = timer.nsecsElapsed();
    slowestPressNs = std::max(slowestPressNs, elapsed);
    QVERIFY2(elapsed < VELHORN_PRESS_BUDGET_MS * 1'000'000LL, qPrintable(QString("%1 ms").arg(elapsed / 1e6)));

    QVERIFY(messages.size() <= 1);
    if (messages.isEmpty()) {
        for (QLineEdit* result : {inputs[mode], f.Text_Nu1, f.Text_Nu2, f.Text_p2p1, f.Text_T2T1})
            QVERIFY2(!result->text().isEmpty(), qPrintable(result->accessibleName()));
    }
    for (int i = 0; i < 3; ++i)
        if (i != mode)
            QCOMPARE(inputs[i]->text(), i == box ? text : fair[i]);
}

void HostileInputTest::pastedMegabyteStaysWhole()
{
    Form1 f;
    f.setMessageBox([](const QString&) {});
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTest::mouseClick(f.Option_M2, Qt::LeftButton);
    const QString big = "2" + QString((1 << 20) - 1, u'0');
    QApplication::clipboard()->setText(big);
    f.Text_M1->setFocus();
    QTest::keyClick(f.Text_M1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Text_M1->text().size(), big.size());
    f.Text_Teta->setText("5");
    QStringList messages;
    f.setMessageBox([&](const QString& message) { messages << message; });
    f.Command1->click();
    QCOMPARE(messages, QStringList{"M1 is too large to calculate with"});
    QCOMPARE(f.Text_M1->text(), big);
    QCOMPARE(f.Text_Teta->text(), QString("5"));
}

void HostileInputTest::junkInResultBoxesIsReplaced()
{
    // Result boxes take typing too; a press overwrites whatever stood there.
    const QString junk = QString(1 << 20, u'9') + QString::fromUtf16(u"\u200F\u0662\r\n");
    Form1 f;
    QStringList messages;
    f.setMessageBox([&](const QString& message) { messages << message; });
    QTest::mouseClick(f.Option_M2, Qt::LeftButton);
    f.Text_M1->setText("2");
    f.Text_Teta->setText("10");
    for (QLineEdit* box : {f.Text_M2, f.Text_Nu1, f.Text_Nu2, f.Text_p2p1, f.Text_T2T1})
        box->setText(junk);
    f.Command1->click();
    QVERIFY(messages.isEmpty());
    QStringList shown;
    for (QLineEdit* box : velhorn::testing::allBoxes(f))
        shown << box->text();
    QCOMPARE(shown, (QStringList{"2", "10", "2.385", "26.38", "36.38", "0.548", "0.842"}));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    HostileInputTest test;
    const int failed = QTest::qExec(&test, argc, argv);
    std::printf("slowest hostile-input press: %.2f ms\n", test.slowestPressNs / 1e6);
    return failed;
}

#include "hostile_input_test.moc"
