#include "press/chart.h"

namespace velhorn::press::chart {

std::array<ChartPoint, kCurveVertices> curve(const flow::ExpansionFan& fan)
{
    std::array<ChartPoint, kCurveVertices> vertices{kOrigin};
    for (int i = kFirstTenth; i <= kLastTenth; ++i) {
        const double M = i / 10.0;  // divided afresh each pass, so no error accumulates
        double Nu = 0;
        fan.Nu_için_hesap(M, Nu);
        vertices[static_cast<std::size_t>(i - kFirstTenth + 1)] = {M, -Nu};
    }
    return vertices;
}

}  // namespace velhorn::press::chart
