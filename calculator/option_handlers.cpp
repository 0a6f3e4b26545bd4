// Choosing an output option prepares the window for a calculation in that mode.
#include "calculator/form1.h"
#include "window/option_choice.h"
#include "widgets/colours.h"
#include "widgets/command_button.h"
#include "widgets/text_box.h"

#include <QLineEdit>

namespace velhorn::calculator {

void Form1::Option_M1_Click() { prepareForOutput(press::Mode::M1); }
void Form1::Option_Teta_Click() { prepareForOutput(press::Mode::Teta); }
void Form1::Option_M2_Click() { prepareForOutput(press::Mode::M2); }

void Form1::prepareForOutput(press::Mode mode)
{
    const window::OptionChoice choice = window::choose(mode);
    for (press::Box b : choice.kWhitened)
        box(b)->setVisible(b != choice.hidden);
    for (press::Box b : choice.kWhitened)
        widgets::setBackColor(box(b), widgets::kInputWhite);
    for (press::Box b : choice.kEmptied)
        box(b)->setText(QString());
    Command1->setCaption(QString::fromUtf8(choice.kCaption.data(), static_cast<qsizetype>(choice.kCaption.size())));
    if (choice.kForgetsResult)
        forgetLastResult();
}

}  // namespace velhorn::calculator
