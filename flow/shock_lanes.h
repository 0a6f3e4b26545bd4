#pragma once

#include "flow/gas.h"
#include "flow/oblique_shock.h"

#include <cstddef>

// Weak oblique shocks of air from M1 and theta, eight at a time, in double-double on the vector
// unit: the same decided values as the shock engine gives one case at a time, several times
// quicker where arrays of cases come at once (shocksFromDeflections).
namespace velhorn::flow {

// The weak shocks that turn air at M1[i] by theta[i] (degrees) for i < n, with the limits of
// M1[i]. solved[i] is set where every value of both was decided, and out[i] is then what
// shockFromDeflection gives; the others (a value too near a midpoint between two doubles, a
// deflection near or past thetaMax, a case near M = 1 or out of range) are left to it. Needs a
// machine with AVX2 and FMA where this file is built for them; elsewhere it decides nothing.
void shocksInLanes(const Gas& air, const double* M1, const double* theta, std::size_t n, LimitedShock* out,
                   bool* solved);

}  // namespace velhorn::flow
