#pragma once

#include "flow/gas.h"

namespace velhorn::flow {

// Why an inversion stopped without a solution.
enum class InversionOutcome {
    Converged,         // |nu(M) - target| fell below the tolerance
    IterateBelowOne,   // an iterate left the supersonic branch: sqrt of a negative number
    Overflow,          // the iterates ran off past the double range
    StepCapReached,    // 50 updates without meeting the tolerance
};

struct Inversion {
    double M = 0;      // the last iterate, exactly as the Newton loop left it
    int updates = 0;   // how many Newton updates were applied
    InversionOutcome outcome = InversionOutcome::Converged;

    [[nodiscard]] bool solved() const { return outcome == InversionOutcome::Converged; }
};

// Prandtl-Meyer function of a perfect gas, air unless told otherwise, and its Newton inverse
// with the window's fixed start, tolerance and step cap. The constants are computed at run
// time, in this order, when the object is made.
class ExpansionFan {
public:
    explicit ExpansionFan(const Gas& gas = Gas::air());

    [[nodiscard]] const Gas& gas() const { return gas_; }

    const double Pi;
    const double DegRad;  // radians per degree
    const double Lambda;  // sqrt((gamma + 1) / (gamma - 1))

    // nu(M) in degrees. Throws std::domain_error for M < 1 (or NaN): no real angle exists there.
    void Nu_için_hesap(double M, double& Nu) const;

    // Mach number whose nu is `Nu` degrees, into `M`. `TetaD` is accepted for the caller's
    // convenience and not read. `M` holds the last iterate whether or not it solves the target;
    // the outcome says which.
    InversionOutcome M_için_hesap(double Nu, double TetaD, double& M) const;

    // The same iteration, telling the caller whether it found a solution.
    [[nodiscard]] Inversion invert(double NuDegrees) const;

    // The supremum of nu(M) as M grows without bound, (Lambda - 1) * 90 degrees.
    [[nodiscard]] double nuLimitDegrees() const;

    static constexpr int kStepCap = 50;
    static constexpr double kToleranceRadians = 1e-5;

private:
    Gas gas_;
};

}  // namespace velhorn::flow
