// The calculate command: the press itself is computed without the window (press/); here the
// window hands it the chosen mode and the typed texts, and shows what comes back.
#include "calculator/form1.h"
#include "widgets/colours.h"
#include "widgets/picture_box.h"
#include "widgets/text_box.h"

#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>

namespace velhorn::calculator {

namespace {

std::u16string_view textOf(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

// Results are shown with the user's decimal separator; input is always read with a point.
std::string decimalSeparator()
{
    return QLocale().decimalPoint().toStdString();
}

}  // namespace

void Form1::Command1_Click()
{
    const QString M1 = Text_M1->text();
    const QString Teta = Text_Teta->text();
    const QString M2 = Text_M2->text();
    const press::Typed typed{textOf(M1), textOf(Teta), textOf(M2)};
    const std::optional<press::Mode> mode = selectedMode();
    const press::Outcome outcome = press::press(fan(), mode, typed, decimalSeparator());
    keepPress(mode, typed, outcome);
    applyPress(outcome);
}

std::optional<press::Mode> Form1::selectedMode() const
{
    if (Option_M1->isChecked())
        return press::Mode::M1;
    if (Option_Teta->isChecked())
        return press::Mode::Teta;
    if (Option_M2->isChecked())
        return press::Mode::M2;
    return std::nullopt;
}

QLineEdit* Form1::box(press::Box which) const
{
    return boxes_[static_cast<size_t>(which)];
}

void Form1::applyPress(const press::Outcome& outcome)
{
    if (outcome.redrawChart)
        grafik();
    if (outcome.output) {
        box(*outcome.output)->setVisible(true);
        widgets::setBackColor(box(*outcome.output), widgets::kOutputGrey);
    }
    for (size_t i = 0; i < press::kBoxCount; ++i)
        if (const auto& text = outcome.boxes[i])
            widgets::writeText(box(static_cast<press::Box>(i)), QString::fromStdString(*text));
    for (const press::Marker& m : outcome.markers)
        Picture1->Line(widgets::onChart(m.from), widgets::onChart(m.to), m.colour == press::MarkerColour::Red ? widgets::kRed : widgets::kBlue);
    if (outcome.redrawChart)
        Picture1->setAccessibleDescription(QString::fromStdString(press::describeChart(outcome.states, decimalSeparator())));
    if (outcome.message)
        MsgBox(QString::fromStdString(*outcome.message));
}

}  // namespace velhorn::calculator
