#include "flow/state_ratios.h"

#include <cmath>

namespace velhorn::flow {

double temperatureRatio(double M1, double M2, const Gas& gas)
{
    const double k = gas.halfGammaMinusOne();
    return (1 + k * std::pow(M1, 2)) / (1 + k * std::pow(M2, 2));
}

double pressureRatio(double T2T1, const Gas& gas)
{
    return std::pow(T2T1, gas.gammaOverGammaMinusOne());
}

}  // namespace velhorn::flow
