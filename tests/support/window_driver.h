#pragma once

// Drives the real main window as a user does: choose an output option, type, press, read.
#include "calculator/form1.h"
#include "calculator/command_button.h"
#include "calculator/picture_box.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>
#include <QTest>

#include <algorithm>

namespace velhorn::testing {

using calculator::Form1;
using calculator::PictureBox;

struct Press {
    QStringList boxes;      // M1, Teta, M2, Nu1, Nu2, p2/p1, T2/T1 after the press
    QStringList messages;
};

class Window {
public:
    Window()
    {
        form.setMessageBox([this](const QString& text) { messages << text; });
        form.show();
    }
    QList<QLineEdit*> boxes() const
    {
        return {form.Text_M1, form.Text_Teta, form.Text_M2, form.Text_Nu1, form.Text_Nu2, form.Text_p2p1, form.Text_T2T1};
    }
    void choose(const QString& mode)
    {
        QRadioButton* option = mode == "M1" ? form.Option_M1 : mode == "Teta" ? form.Option_Teta : form.Option_M2;
        QTest::mouseClick(option, Qt::LeftButton);
    }
    Press press(const QString& m1, const QString& teta, const QString& m2)
    {
        form.Text_M1->setText(m1);
        form.Text_Teta->setText(teta);
        form.Text_M2->setText(m2);
        messages.clear();
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        Press result;
        for (QLineEdit* box : boxes())
            result.boxes << box->text();
        result.messages = messages;
        return result;
    }
    QList<PictureBox::Stroke> markers() const
    {
        const auto& strokes = form.Picture1->strokesSinceClear();
        constexpr size_t kBareChart = 43;
        return {strokes.begin() + static_cast<long>(std::min(kBareChart, strokes.size())), strokes.end()};
    }
    Form1 form;
    QStringList messages;
};

}  // namespace velhorn::testing
