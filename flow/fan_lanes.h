#pragma once

#include "flow/full_precision_fan.h"
#include "flow/gas.h"

#include <cstddef>

// Fans of air from M1 and theta, states from M and Mach numbers from nu, eight at a time, in double-double on the
// vector unit: the same decided values as the fan engine gives one case at a time, several times
// quicker where arrays of cases come at once (solveFans, tableStates, machsFromNu).
namespace velhorn::flow {

// The fans from M1[i] and turns theta[i] (degrees) for i < n, for air. solved[i] is set where
// every value of the fan was decided, and fans[i] is then the fan solveFan gives; the others (a
// value too near a midpoint between two doubles, a case near M = 1 or out of range) are left to
// solveFan. Needs a machine with AVX2 and FMA where this file is built for them
// (VELHORN_LANES); elsewhere it decides nothing.
void fansInLanes(const Gas& air, const double* M1, const double* theta, std::size_t n, Fan* fans, bool* solved);

// The states of air at M[i] in the same way: solved[i] where states[i] is what stateAt gives.
void statesInLanes(const Gas& air, const double* M, std::size_t n, State* states, bool* solved);

// The Mach numbers of air whose nu is nu[i] degrees: solved[i] where M[i] is what machFromNu gives.
void machsInLanes(const Gas& air, const double* nu, std::size_t n, double* M, bool* solved);

}  // namespace velhorn::flow
