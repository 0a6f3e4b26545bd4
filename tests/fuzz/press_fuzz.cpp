// A whole press of the calculate button: a mode and two typed texts in; the seven box texts
// and any message out. Every box shows a well-formed number or what the user typed, every
// message is one the program knows, and the same input always gives the same output.
#include "calculator/command_button.h"
#include "calculator/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

using velhorn::calculator::Form1;

namespace {

struct Outcome {
    QStringList boxes;
    QStringList messages;
    bool operator==(const Outcome&) const = default;
};

Form1& window()
{
    static int argc = 1;
    static char name[] = "press_fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    static Form1* form = new Form1;  // lives as long as the fuzzing process
    (void)app;
    return *form;
}

Outcome press(int mode, const QString& first, const QString& second, QStringList& messages)
{
    Form1& f = window();
    QRadioButton* const options[] = {f.Option_M1, f.Option_Teta, f.Option_M2};
    options[mode]->setChecked(true);
    // Run the option's handler even when it was already chosen, so every press starts alike.
    (mode == 0 ? f.Option_M1_Click() : mode == 1 ? f.Option_Teta_Click() : f.Option_M2_Click());
    QLineEdit* const inputs[3][2] = {{f.Text_M2, f.Text_Teta}, {f.Text_M1, f.Text_M2}, {f.Text_M1, f.Text_Teta}};
    inputs[mode][0]->setText(first);
    inputs[mode][1]->setText(second);
    messages.clear();
    f.Command1->click();
    Outcome outcome;
    for (QLineEdit* box : {f.Text_M1, f.Text_Teta, f.Text_M2, f.Text_Nu1, f.Text_Nu2, f.Text_p2p1, f.Text_T2T1})
        outcome.boxes << box->text();
    outcome.messages = messages;
    return outcome;
}

[[noreturn]] void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    static QStringList messages;
    static const bool seamSet = (window().setMessageBox([](const QString& text) { messages << text; }), true);
    (void)seamSet;

    const int mode = data[0] % 3;
    const QString texts = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const qsizetype split = texts.indexOf(QChar(u'|'));
    const QString first = split < 0 ? texts : texts.left(split);
    const QString second = split < 0 ? QString() : texts.mid(split + 1);

    const Outcome outcome = press(mode, first, second, messages);
    if (!(press(mode, first, second, messages) == outcome))
        fail("same input, different output", texts);

    static const QRegularExpression number(QStringLiteral("^(-?\\d+(\\.\\d{1,3})?|-?\\d(\\.\\d+)?E[+-]\\d+)?$"));
    static const QRegularExpression known(QStringLiteral(
        "^(Choose an output option|M2 must be greater then 1|M1 and M2 must be greater then 1|"
        "M1 must be greater then 1|(M1|M2|Teta) is too large to calculate with|p2/p1 is too large to show|"
        "No (M1|M2) gives Teta = \\S+ with (M1|M2) = \\S+\\. Teta must lie between \\S+ and \\S+\\.)$"));
    const int outputBox = mode == 0 ? 0 : mode == 1 ? 1 : 2;
    for (int i = 0; i < outcome.boxes.size(); ++i) {
        const bool typed = i < 3 && i != outputBox;
        if (!typed && !number.match(outcome.boxes[i]).hasMatch())
            fail("box shows no well-formed number", outcome.boxes[i]);
    }
    if (outcome.messages.size() > 1)
        fail("more than one message", outcome.messages.join(u'/'));
    for (const QString& message : outcome.messages)
        if (!known.match(message).hasMatch())
            fail("unknown message", message);
    if (outcome.messages.isEmpty())
        for (int i : {outputBox, 3, 4, 5, 6})
            if (outcome.boxes[i].isEmpty())
                fail("a result is missing, and no message says why", texts);
    return 0;
}
