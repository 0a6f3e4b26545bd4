#pragma once

#include "flow/gas.h"

namespace velhorn::flow {

// Static temperature ratio T2/T1 across an isentropic fan between Mach numbers M1 and M2.
[[nodiscard]] double temperatureRatio(double M1, double M2, const Gas& gas = Gas::air());

// Static pressure ratio p2/p1 from the (unrounded) temperature ratio.
[[nodiscard]] double pressureRatio(double T2T1, const Gas& gas = Gas::air());

}  // namespace velhorn::flow
