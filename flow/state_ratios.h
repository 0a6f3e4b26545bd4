#pragma once

namespace velhorn::flow {

// Static temperature ratio T2/T1 across an isentropic fan between Mach numbers M1 and M2.
[[nodiscard]] double temperatureRatio(double M1, double M2);

// Static pressure ratio p2/p1 from the (unrounded) temperature ratio.
[[nodiscard]] double pressureRatio(double T2T1);

}  // namespace velhorn::flow
