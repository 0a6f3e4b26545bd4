// Choosing an output option prepares the window for a calculation in that mode.
#include "calculator/form1.h"
#include "widgets/colours.h"
#include "widgets/command_button.h"
#include "widgets/text_box.h"

#include <QLineEdit>

namespace velhorn::calculator {

void Form1::Option_M1_Click() { prepareForOutput(Text_M1); }
void Form1::Option_Teta_Click() { prepareForOutput(Text_Teta); }
void Form1::Option_M2_Click() { prepareForOutput(Text_M2); }

void Form1::prepareForOutput(QLineEdit* outputBox)
{
    QLineEdit* const inputs[] = {Text_M1, Text_Teta, Text_M2};
    for (QLineEdit* box : inputs)
        box->setVisible(box != outputBox);
    for (QLineEdit* box : inputs)
        widgets::setBackColor(box, widgets::kInputWhite);
    for (QLineEdit* box : {Text_M1, Text_Teta, Text_M2, Text_Nu1, Text_Nu2, Text_p2p1, Text_T2T1})
        box->setText(QString());
    Command1->setCaption(QStringLiteral("SET input values then CLICK"));
    forgetLastResult();
}

}  // namespace velhorn::calculator
