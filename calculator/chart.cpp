// The nu(M) chart: the bare strokes come from the core, so every front end draws the same.
#include "calculator/form1.h"
#include "window/chart.h"
#include "widgets/colours.h"
#include "widgets/picture_box.h"

namespace velhorn::calculator {

using widgets::onChart;

// The chart's plain ink is the box's foreground colour.
std::optional<QColor> inkColour(window::chart::Ink ink)
{
    switch (ink) {
    case window::chart::Ink::Red: return widgets::kRed;
    case window::chart::Ink::Blue: return widgets::kBlue;
    case window::chart::Ink::Plain: break;
    }
    return std::nullopt;
}

void Form1::grafik()
{
    namespace chart = window::chart;
    Picture1->Scale(onChart(chart::kUpperLeft), onChart(chart::kLowerRight));
    Picture1->Cls();
    Picture1->setAccessibleDescription(QString::fromStdString(press::describeChart({}, ".")));
    for (const chart::Stroke& stroke : chart::bareChart(fan())) {
        if (stroke.kind == chart::Stroke::Kind::Point)
            Picture1->PSet(onChart(stroke.from), inkColour(stroke.ink));
        else
            Picture1->Line(onChart(stroke.from), onChart(stroke.to), inkColour(stroke.ink));
    }
}

void Form1::Picture1_Click()
{
    grafik();
}

}  // namespace velhorn::calculator
