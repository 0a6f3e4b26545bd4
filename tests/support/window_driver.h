#pragma once

// Drives the real main window as a user does: choose an output option, type, press, read.
#include "calculator/form1.h"
#include "widgets/command_button.h"
#include "widgets/picture_box.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>
#include <QTest>

#include <algorithm>

namespace velhorn::testing {

using calculator::Form1;
using widgets::PictureBox;

// What the bare chart draws: two axes, the start point and forty curve segments.
inline constexpr std::size_t kBareChartStrokes = 2 + 1 + 40;

// The seven boxes in the window's order: M1, Teta, M2, Nu1, Nu2, p2/p1, T2/T1.
inline QList<QLineEdit*> allBoxes(const Form1& f)
{
    return {f.Text_M1, f.Text_Teta, f.Text_M2, f.Text_Nu1, f.Text_Nu2, f.Text_p2p1, f.Text_T2T1};
}
// The three output options and their boxes, in the order M1, Teta, M2.
inline QList<QRadioButton*> options(const Form1& f) { return {f.Option_M1, f.Option_Teta, f.Option_M2}; }
inline QList<QLineEdit*> inputBoxes(const Form1& f) { return {f.Text_M1, f.Text_Teta, f.Text_M2}; }

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
    QList<QLineEdit*> boxes() const { return allBoxes(form); }
    void choose(const QString& mode)
    {
        QTest::mouseClick(options(form)[mode == "M1" ? 0 : mode == "Teta" ? 1 : 2], Qt::LeftButton);
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
        return {strokes.begin() + static_cast<long>(std::min(kBareChartStrokes, strokes.size())), strokes.end()};
    }
    Form1 form;
    QStringList messages;
};

}  // namespace velhorn::testing
