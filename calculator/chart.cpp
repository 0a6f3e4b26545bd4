// The nu(M) chart: the bare strokes come from the core, so every front end draws the same.
#include "calculator/form1.h"
#include "press/chart.h"
#include "widgets/colours.h"
#include "widgets/picture_box.h"

namespace velhorn::calculator {

using widgets::onChart;

void Form1::grafik()
{
    namespace chart = press::chart;
    Picture1->Scale(onChart(chart::kUpperLeft), onChart(chart::kLowerRight));
    Picture1->Cls();
    Picture1->setAccessibleDescription(QString::fromStdString(press::describeChart({}, ".")));
    Picture1->Line(onChart(chart::kOrigin), onChart(chart::kNuAxisTop));
    Picture1->Line(onChart(chart::kOrigin), onChart(chart::kMachAxisEnd));

    const auto curve = chart::curve(fan());
    Picture1->PSet(onChart(curve.front()));
    for (std::size_t i = 1; i < curve.size(); ++i)
        Picture1->LineTo(onChart(curve[i]), widgets::kRed);
}

void Form1::Picture1_Click()
{
    grafik();
}

}  // namespace velhorn::calculator
