// The nu(M) chart: a red curve for M from 1 to 5 over two plain axes, in user coordinates
// x = M and y = -nu, so a larger nu is drawn higher.
#include "calculator/form1.h"
#include "widgets/colours.h"
#include "widgets/picture_box.h"

namespace velhorn::calculator {

using widgets::UserPoint;

namespace chart {
inline constexpr UserPoint kUpperLeft{0.5F, -80.0F};
inline constexpr UserPoint kLowerRight{5.5F, 5.0F};
inline constexpr UserPoint kOrigin{1.0F, 0.0F};         // M = 1, nu = 0: where the axes meet
inline constexpr UserPoint kNuAxisTop{1.0F, -75.0F};
inline constexpr UserPoint kMachAxisEnd{5.0F, 0.0F};
inline constexpr int kFirstTenth = 11;                   // the curve's vertices at M = i / 10
inline constexpr int kLastTenth = 50;
}  // namespace chart

void Form1::grafik()
{
    Picture1->Scale(chart::kUpperLeft, chart::kLowerRight);
    Picture1->Cls();
    Picture1->setAccessibleDescription(QString::fromStdString(press::describeChart({}, ".")));
    Picture1->Line(chart::kOrigin, chart::kNuAxisTop);
    Picture1->Line(chart::kOrigin, chart::kMachAxisEnd);

    double M = 1;
    double Nu = 0;
    Picture1->PSet(UserPoint::fromDouble(M, Nu));
    for (int i = chart::kFirstTenth; i <= chart::kLastTenth; ++i) {
        M = i / 10.0;  // divided afresh each pass, so no error accumulates
        fan().Nu_için_hesap(M, Nu);
        Picture1->LineTo(UserPoint::fromDouble(M, -Nu), widgets::kRed);
    }
}

void Form1::Picture1_Click()
{
    grafik();
}

}  // namespace velhorn::calculator
