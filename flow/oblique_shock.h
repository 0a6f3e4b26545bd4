#pragma once

#include "flow/gas.h"

#include <span>
#include <variant>

// Oblique and normal shocks of a perfect gas: the theta-beta-M relation on both branches, the
// jumps across the shock, and the limits of an attached shock. Angles are in degrees; theta is
// the deflection into the flow, beta the shock's angle from the upstream flow.
namespace velhorn::flow {

enum class Branch { Weak, Strong };

struct Shock {
    double gamma = 0;
    double M1 = 1;
    double theta = 0;
    double beta = 90;
    bool strong = false;  // beta above the beta of thetaMax
    double Mn1 = 1;       // normal components of the Mach number ahead of and behind the shock
    double Mn2 = 1;
    double M2 = 1;
    double p2p1 = 1;
    double rho2rho1 = 1;
    double T2T1 = 1;
    double p02p01 = 1;    // total pressure kept; 1 - p02p01 is the loss
};

// What limits an attached shock at one upstream Mach number.
struct ShockLimits {
    double mu = 90;          // the weakest wave, a Mach line
    double thetaMax = 0;     // the largest deflection an attached shock makes
    double betaMax = 90;     // beta at thetaMax: weak below, strong above
    double thetaSonic = 0;   // the deflection at which the weak shock leaves M2 = 1
    double betaSonic = 90;
};

// Why a wave cannot be formed. `value` of `quantity` (theta, beta, M1) lies outside `low`..`high`
// (inclusive; high is infinite when unbounded above); `M` is the Mach number ahead of the wave.
struct WaveProblem {
    enum class Kind {
        Subsonic,        // M ahead is below 1
        Detached,        // theta beyond thetaMax
        BetaOutOfRange,  // beta outside mu..90
        NotACompression, // a shock asked to turn the flow away from itself
        Vacuum,          // an expansion to or past nuMax
        BelowSonic,      // an isentropic compression past M = 1
        NotFinite,
        BeyondDoubleRange,
    };
    Kind kind = Kind::NotFinite;
    double M = 1;
    double value = 0;
    double low = 0;
    double high = 0;
};

[[nodiscard]] ShockLimits shockLimits(const Gas& gas, double M1);

// A shock, or why there is none, with the limits of its M1 wherever M1 has them.
struct LimitedShock {
    std::variant<Shock, WaveProblem> shock;
    ShockLimits limits;
};

// The shock that deflects a flow at M1 by theta (0 <= theta <= thetaMax). At theta = 0 the weak
// branch is the Mach wave and the strong one the normal shock.
[[nodiscard]] std::variant<Shock, WaveProblem> shockFromDeflection(const Gas& gas, double M1, double theta,
                                                                   Branch branch = Branch::Weak);
// The shock standing at beta (mu <= beta <= 90) in a flow at M1.
[[nodiscard]] std::variant<Shock, WaveProblem> shockFromAngle(const Gas& gas, double M1, double beta);

// The same, with shockLimits(gas, M1) into `limits` wherever M1 has them, for less than the two
// calls cost apart.
[[nodiscard]] std::variant<Shock, WaveProblem> shockFromDeflection(const Gas& gas, double M1, double theta,
                                                                   Branch branch, ShockLimits& limits);
[[nodiscard]] std::variant<Shock, WaveProblem> shockFromAngle(const Gas& gas, double M1, double beta,
                                                              ShockLimits& limits);

// The weak shocks from M1[i] and theta[i] for every i, into out[i]: what shockFromDeflection
// with limits gives each, for air several times quicker on machines with AVX2 and FMA, which
// work eight cases at a time.
void shocksFromDeflections(const Gas& gas, std::span<const double> M1, std::span<const double> theta,
                           std::span<LimitedShock> out);

// The same worked in double-double in any build, as the page works them, where long double is
// software (elsewhere long double goes first): for holding the two to each other.
[[nodiscard]] std::variant<Shock, WaveProblem> shockFromDeflectionInDoubleDouble(const Gas& gas, double M1,
                                                                                 double theta, Branch branch,
                                                                                 ShockLimits& limits);
[[nodiscard]] std::variant<Shock, WaveProblem> shockFromAngleInDoubleDouble(const Gas& gas, double M1, double beta);

}  // namespace velhorn::flow
