#include "flow/state_ratios.h"

#include "flow/gas.h"

#include <cmath>

namespace velhorn::flow {

using gas::kGammaOverGammaMinusOne;
using gas::kHalfGammaMinusOne;

double temperatureRatio(double M1, double M2)
{
    return (1 + kHalfGammaMinusOne * std::pow(M1, 2)) / (1 + kHalfGammaMinusOne * std::pow(M2, 2));
}

double pressureRatio(double T2T1)
{
    return std::pow(T2T1, kGammaOverGammaMinusOne);
}

}  // namespace velhorn::flow
