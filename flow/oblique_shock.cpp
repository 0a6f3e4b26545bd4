#include "flow/oblique_shock.h"

#include "flow/angles.h"
#include "flow/double_double.h"
#include "flow/in_blocks.h"
#include "flow/long_double_arctan.h"
#include "flow/shock_lanes.h"
#include "flow/solve.h"

#include <cmath>
#include <limits>
#include <optional>
#include <type_traits>
#ifdef VELHORN_QUAD_RATIOS
#include <quadmath.h>
#endif

namespace velhorn::flow {

namespace {

const long double kPiLong = 4 * std::atan(1.0L);
const long double kDegreesPerRadianLong = 180 / kPiLong;

// atan(t) and atan2(y, x) in degrees for arguments >= 0 (not both 0).
[[gnu::always_inline]] inline long double arctanDegrees(long double y, long double x)
{
    return arctanOfQuotient(y, x) * kDegreesPerRadianLong;
}

[[gnu::always_inline]] inline long double arctanDegrees(long double t)
{
    return arctanDegrees(t, 1.0L);
}

// The same in double-double, and the roots, tangents and powers each type takes.
using dd::Number;
using dd::kLongDoubleInHardware;

Number arctanDegrees(Number y, Number x)
{
    return Number(dd::multiply(dd::arctanOfQuotient(y.v, x.v), dd::kDegreesPerRadian));
}

Number arctanDegrees(Number t)
{
    return arctanDegrees(t, Number(1));
}

long double root(long double x)
{
    return std::sqrt(x);
}

Number root(Number x)
{
    if (!(x.v.hi >= 0))
        return Number(std::numeric_limits<double>::quiet_NaN());
    return Number(dd::squareRoot(x.v));
}

// Not std::fmax, a call into the C library for long double; a NaN in b gives a.
long double larger(long double a, long double b)
{
    return a < b ? b : a;
}

Number larger(Number a, Number b)
{
    return a < b ? b : a;
}

long double smaller(long double a, long double b)
{
    return std::fmin(a, b);
}

Number smaller(Number a, Number b)
{
    return b < a ? b : a;
}

long double widened(Number x)
{
    return static_cast<long double>(x.v.hi) + x.v.lo;
}

// tan and cot of an angle in degrees between 0 and 90. Where long double is software its
// trigonometry is not linked in: double-double's, some 2^-78 of the value, serves there.
long double tangentOfDegrees(long double, double degrees)
{
    if constexpr (!kLongDoubleInHardware)
        return widened(Number(flow::tangentOfDegrees(degrees)));
    return std::tan(degrees / kDegreesPerRadianLong);
}

Number tangentOfDegrees(Number, double degrees)
{
    return Number(flow::tangentOfDegrees(degrees));
}

long double cotangentOfDegrees(long double, double degrees)
{
    if constexpr (!kLongDoubleInHardware)
        return 1 / tangentOfDegrees(0.0L, degrees);
    const long double b = degrees / kDegreesPerRadianLong;
    return std::cos(b) / std::sin(b);
}

Number cotangentOfDegrees(Number, double degrees)
{
    return Number(1) / tangentOfDegrees(Number(), degrees);
}

// p02/p01 = rho^(gamma/(gamma-1)) p^(-1/(gamma-1)) for a gas other than air; long double's exp
// and log either way.
long double entropyRatio(long double rho, long double p, long double g, long double half)
{
    return std::exp((g * std::log(rho) - std::log(p)) / (2 * half));
}

// In double-double, where long double's exp and log would not be better than it: quad precision
// where the build has it (libquadmath beside the x87), the page's long double, which is quad.
Number entropyRatio(Number rho, Number p, Number g, Number half)
{
#ifdef VELHORN_QUAD_RATIOS
    using Wider = __float128;
    const auto wider = [](Number x) { return Wider(x.v.hi) + Wider(x.v.lo); };
    const Wider ratio = expq((wider(g) * logq(wider(rho)) - logq(wider(p))) / (2 * wider(half)));
#else
    using Wider = long double;
    const Wider ratio = entropyRatio(widened(rho), widened(p), widened(g), widened(half));
#endif
    const double hi = static_cast<double>(ratio);
    return Number(dd::Wide{hi, static_cast<double>(ratio - hi)});
}

// ---- Deciding the last bit ----
// Long double goes first where it is the x87's, with a bound on its error for each value; where
// a value lies too near the midpoint between two doubles for its bound, the wave or the limits it
// belongs to are worked again in double-double, as the page works them. So every build gives the
// same bits, those of the correctly rounded value, short of double-double's own rare ties.
using dd::kLongEpsilon;

class Rounding {
public:
    // `bound`: of long double's relative error, in units of its epsilon.
    double operator()(long double value, double bound)
    {
        if constexpr (!kLongDoubleInHardware)
            return static_cast<double>(value);  // only beyond double-double's range, where nothing else decides
        const dd::Decision decision = dd::decisionOf(value, std::fabs(value) * bound * kLongEpsilon);
        sure_ &= decision.sure;
        return decision.value;
    }
    double operator()(Number value, double) { return value.v.hi; }
    [[nodiscard]] bool sure() const { return sure_; }

private:
    bool sure_ = true;
};

// Whether values worked in Real are decided by their bounds: long double's on the x87.
template <typename Real>
constexpr bool kDecides = std::is_same_v<Real, long double> && kLongDoubleInHardware;

// (gamma - 1) / 2: long double's from the gas, air's from exactly 7/5; in double-double from
// gamma itself, whose difference from 1 is exact in two doubles.
long double halfGammaMinusOne(long double, const Gas& gas)
{
    return gas.halfGammaMinusOneLong();
}

Number halfGammaMinusOne(Number, const Gas& gas)
{
    if (gas.gamma() == 1.4)
        return Number(1) / Number(5);
    return Number(dd::twoSum(gas.gamma(), -1)) * Number(0.5);
}

// The relation in w = cot(beta), where it is a cubic with no spurious branch:
//   tan(theta) = G(w) = 2 w (m - w^2) / (B + A w^2),  m = M^2 - 1, A = (gamma + 1) M^2 + 2,
//   B = (gamma - 1) M^2 + 2.
// Physical shocks have 0 <= w <= sqrt(m): w = sqrt(m) is the Mach wave, w = 0 the normal shock.
template <typename Real>
struct Relation {
    Real gamma;
    Real half;  // (gamma - 1) / 2
    Real M2;    // M^2
    Real m;     // M^2 - 1, from (M - 1)(M + 1) so it keeps its bits near M = 1
    Real A;
    Real B;
    Real wMax;  // w of thetaMax
    Real tanMax;
    bool air;   // gamma exactly 7/5

    Relation(const Gas& gas, double M)
    {
        half = halfGammaMinusOne(Real(), gas);
        air = gas.isAir();
        gamma = 1 + 2 * half;
        const Real ML = M;
        M2 = ML * ML;
        m = (ML - 1) * (ML + 1);
        A = (gamma + 1) * M2 + 2;
        B = 2 * half * M2 + 2;
        // Where G' = 0: the positive root of m B x^2 - (m A + 3 B) x - A = 0 in x = 1/w^2,
        // written so nothing cancels.
        const Real b = m * A + 3 * B;
        wMax = root(2 * m * B / (b + root(b * b + 4 * m * A * B)));
        tanMax = tanTheta(wMax);
    }
    Real tanTheta(Real w) const { return 2 * w * (m - w * w) / (B + A * w * w); }
};

// Newton on H(w) = 2 w (m - w^2) - T (B + A w^2) from w, moving in `direction` only. H is concave
// for w > 0 and negative at both ends of 0..sqrt(m), so from either end, or from any point between
// an end and the root on its side of the crest, Newton climbs to that root without overshooting;
// near thetaMax, where the two roots meet, it slows to halving the distance a step, and the cap
// is far above what that takes.
// It stops early once a step moves w by at most `enough` of itself, where what is left is far
// smaller still.
template <typename Real>
Real climb(Real m, Real A, Real B, Real T, Real w, int direction, Real enough = 0)
{
    for (int pass = 0; pass < 200; ++pass) {
        const Real w2 = w * w;
        const Real H = 2 * w * (m - w2) - T * (B + A * w2);
        const Real slope = 2 * m - 6 * w2 - 2 * T * A * w;
        if (H >= 0 || !(slope != 0))
            break;
        const Real next = w - H / slope;
        // Monotone from the start: a step that turns back, or does not move, is rounding.
        if (!((next - w) * direction > 0))
            break;
        const bool close = (next - w) * direction <= enough * (next > 0 ? next : -next);
        w = next;
        if (close)
            break;
    }
    return w;
}

// The root of H between `from` (sqrt(m) for the weak shock, 0 for the strong) and the crest.
// Most of the climb is done in double, which is cheap, to within 2^-40; from a point a little
// short of that root, more than double's error there, long double finishes in a step or two.
// Near the crest double's root is poorer, so a start that lands on the wrong side is taken
// further back; failing that, as for a gas beyond double's range, long double climbs the whole way.
template <typename Real>
Real rootFrom(const Relation<Real>& r, Real T, Real from)
{
    const int direction = from == 0 ? 1 : -1;
    const double near = climb<double>(static_cast<double>(r.m), static_cast<double>(r.A), static_cast<double>(r.B),
                                      static_cast<double>(T), static_cast<double>(from), direction, 0x1p-40);
    for (const long double back : {0x1p-44L, 0x1p-32L}) {
        const Real start = Real(near) - Real(direction) * Real(back) * Real(near);
        const Real H = 2 * start * (r.m - start * start) - T * (r.B + r.A * start * start);
        const bool onItsSide = direction > 0 ? start >= 0 && start < r.wMax : start > r.wMax && start <= from;
        if (onItsSide && H < 0)
            return climb<Real>(r.m, r.A, r.B, T, start, direction);
    }
    return climb<Real>(r.m, r.A, r.B, T, from, direction);
}

bool finite(const Shock& s)
{
    for (double v : {s.beta, s.Mn1, s.Mn2, s.M2, s.p2p1, s.rho2rho1, s.T2T1, s.p02p01}) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

// How far Newton's root w of H may lie from the exact one, relative to w and in units of long
// double's epsilon: the rounding of H's terms over H's slope there. It grows without bound at
// thetaMax, where the slope vanishes. Double-double's is not needed.
template <typename Real>
double rootError(const Relation<Real>& r, Real w, Real T)
{
    if constexpr (!kDecides<Real>) {
        return 0;
    } else {
        const double x = static_cast<double>(w), t = static_cast<double>(T), m = static_cast<double>(r.m),
                     A = static_cast<double>(r.A), B = static_cast<double>(r.B);
        if (x == 0)
            return 0;  // the normal shock, exactly
        const double scale = 2 * x * m + t * (B + A * x * x);
        return scale / (std::fabs(2 * m - 6 * x * x - 2 * t * A * x) * x);
    }
}

// Everything behind the shock from w = cot(beta) and T = tan(theta), whose relative errors are
// at most wError and tError (units of long double's epsilon).
// Long double's bounds below are a part of each formula's own and a part per unit of the error
// of w: the largest seen against double-double over millions of shocks of several gases, with
// half as much again to spare.
template <typename Real>
std::variant<Shock, WaveProblem> shockAt(const Gas& gas, const Relation<Real>& r, double M1, double theta, Real w,
                                         Real T, Real wMax, double wError, double tError, Rounding& rounded)
{
    Shock s;
    s.gamma = gas.gamma();
    s.M1 = M1;
    s.theta = theta;
    s.strong = w < wMax;
    s.beta = rounded(arctanDegrees(Real(1), w), 3 + wError * 0.75);
    const Real g = r.gamma;
    const Real w2 = w * w;
    const Real n1 = r.M2 / (1 + w2);             // Mn1^2 = M^2 sin^2(beta)
    const Real excess = (r.m - w2) / (1 + w2);    // Mn1^2 - 1, without the cancellation
    const Real p = 1 + 2 * g / (g + 1) * excess;
    const Real rho = (g + 1) * n1 / (2 * r.half * n1 + 2);
    const Real n2 = (1 + r.half * n1) / (g * n1 - r.half);
    // sin^2(beta - theta) from tan(beta - theta) = (1 - T w) / (w + T).
    const Real up = 1 - T * w;
    const Real across = w + T;
    const Real sin2 = up * up / (up * up + across * across);
    s.Mn1 = rounded(root(n1), 3 + wError / 2);
    s.Mn2 = rounded(root(n2), 3 + wError / 4);
    // 1 - T w cancels where beta - theta nears 90 degrees, at high Mach numbers of gases near 1.
    const double cancelled = static_cast<double>(T * w) / static_cast<double>(up);
    s.M2 = rounded(root(n2 / sin2), 6 + (wError + tError) / 2 + std::fabs(cancelled) * (wError + tError + 4));
    s.p2p1 = rounded(p, 6 + wError * 0.75);
    s.rho2rho1 = rounded(rho, 6 + wError / 3);
    s.T2T1 = rounded(p / rho, 7 + wError / 3);
    // p02/p01 = rho^(gamma/(gamma-1)) p^(-1/(gamma-1)): the entropy rise as a ratio. For air
    // the powers are 3.5 and 2.5, so rho (rho/p)^2.5 needs a root and no exp or log, which
    // cost more than the rest of the shock and round no better.
    if (r.air) {
        const Real q = rho / p;
        s.p02p01 = rounded(rho * (q * q) * root(q), 14 + wError * 1.5);
    } else {
        // exp passes on the error of its exponent: the logarithms' roundings and the ratios'
        // errors, over gamma - 1.
        const double share = 1 / (2 * static_cast<double>(r.half));
        const double logs = kDecides<Real> ? gas.gamma() * std::fabs(std::log(s.rho2rho1)) +
                                                                    std::fabs(std::log(s.p2p1)) + 2
                                                              : 0;
        s.p02p01 = rounded(entropyRatio(rho, p, g, r.half), 4 + (logs + (3 + wError / 2) * (gas.gamma() + 1)) * share);
    }
    if (!finite(s))
        return WaveProblem{WaveProblem::Kind::BeyondDoubleRange, M1, theta, 0, 0};
    return s;
}

std::optional<WaveProblem> machProblem(double M1)
{
    if (std::isnan(M1))
        return WaveProblem{WaveProblem::Kind::NotFinite, M1, M1, 1, std::numeric_limits<double>::infinity()};
    if (!(M1 >= 1))
        return WaveProblem{WaveProblem::Kind::Subsonic, M1, M1, 1, std::numeric_limits<double>::infinity()};
    if (std::isinf(M1))
        return WaveProblem{WaveProblem::Kind::BeyondDoubleRange, M1, M1, 1, std::numeric_limits<double>::infinity()};
    return std::nullopt;
}

}  // namespace

namespace {

template <typename Real>
ShockLimits limitsOf(const Relation<Real>& r, Rounding& rounded)
{
    ShockLimits limits;
    limits.mu = rounded(arctanDegrees(Real(1), root(r.m)), 3);
    limits.thetaMax = rounded(arctanDegrees(r.tanMax), 4);
    limits.betaMax = rounded(arctanDegrees(Real(1), r.wMax), 3);
    // M2 = 1: sin^2(beta) = [(g+1) M^2 - (3-g) + sqrt((g+1)((g+1) M^4 - 2 (3-g) M^2 + g + 9))] / (4 g M^2)
    // and w^2 = (1 - sin^2) / sin^2.
    const Real g = r.gamma;
    const Real radical = root((g + 1) * ((g + 1) * r.M2 * r.M2 - 2 * (3 - g) * r.M2 + g + 9));
    const Real numerator = (g + 1) * r.M2 - (3 - g) + radical;
    const Real whole = 4 * g * r.M2;
    const Real w = root(larger(Real(0), (whole - numerator) / numerator));
    // Near M = 1 the difference cancels by as much as it is smaller than its terms.
    const double cancelled = 4 + static_cast<double>(whole) / static_cast<double>(whole - numerator);
    limits.thetaSonic = rounded(arctanDegrees(2 * w * (r.m - w * w), r.B + r.A * w * w), cancelled);
    limits.betaSonic = rounded(arctanDegrees(Real(1), w), cancelled);
    return limits;
}

template <typename Real>
std::variant<Shock, WaveProblem> fromDeflection(const Gas& gas, const Relation<Real>& r, double M1, double theta,
                                                Branch branch, Rounding& rounded)
{
    if (!std::isfinite(theta))
        return WaveProblem{WaveProblem::Kind::NotFinite, M1, theta, 0, 0};
    // Past 90 degrees the tangent turns negative and would pass for a small deflection.
    const Real T = theta < 90 ? tangentOfDegrees(Real(), theta) : Real(std::numeric_limits<double>::infinity());
    if (theta < 0 || T > r.tanMax) {
        const double thetaMax = rounded(arctanDegrees(r.tanMax), 4);
        // A theta that rounds onto thetaMax itself is the crest, where w's error is unbounded.
        if (!(theta >= 0) || theta > thetaMax)
            return WaveProblem{theta < 0 ? WaveProblem::Kind::NotACompression : WaveProblem::Kind::Detached, M1, theta, 0,
                               thetaMax};
        return shockAt(gas, r, M1, theta, r.wMax, r.tanMax, r.wMax, std::numeric_limits<double>::infinity(), 0, rounded);
    }
    const Real w = branch == Branch::Weak ? rootFrom(r, T, root(r.m)) : rootFrom(r, T, Real(0));
    return shockAt(gas, r, M1, theta, w, T, r.wMax, rootError(r, w, T), 0, rounded);
}

template <typename Real>
std::variant<Shock, WaveProblem> fromAngle(const Gas& gas, const Relation<Real>& r, double M1, double beta,
                                           Rounding& rounded)
{
    const Real wMach = root(r.m);
    const double mu = rounded(arctanDegrees(Real(1), wMach), 6);
    if (!(beta >= mu && beta <= 90))
        return WaveProblem{std::isfinite(beta) ? WaveProblem::Kind::BetaOutOfRange : WaveProblem::Kind::NotFinite, M1,
                           beta, mu, 90};
    // 90 degrees is the normal shock exactly, and mu itself may round to either side of the Mach wave.
    const Real w = beta == 90 ? Real(0) : smaller(cotangentOfDegrees(Real(), beta), wMach);
    const Real T = r.tanTheta(w);
    // cot passes on its argument's rounding as beta / (sin beta cos beta), and T = G(w) passes
    // on w's as w G'(w) / G(w).
    double wError = 0;
    double tError = 0;
    if constexpr (kDecides<Real>) {
        const double x = static_cast<double>(w), m = static_cast<double>(r.m), A = static_cast<double>(r.A),
                     B = static_cast<double>(r.B), b = beta / static_cast<double>(kDegreesPerRadianLong);
        if (x != 0) {
            wError = 4 + 2 * b * (1 + x * x) / x;
            tError = 4 + wError * std::fabs(1 - 2 * x * x / (m - x * x) - 2 * A * x * x / (B + A * x * x));
        }
    }
    const double theta = rounded(arctanDegrees(T), 6 + tError);
    auto shock = shockAt(gas, r, M1, theta, w, T, r.wMax, wError, tError, rounded);
    if (auto* s = std::get_if<Shock>(&shock))
        s->beta = beta;  // the angle given, not its round trip through w
    return shock;
}

// In long double first where it is the x87's, then in double-double if long double cannot
// decide some value; in double-double alone where long double is software. Not for Mach numbers
// and gases whose products (gamma M^4 squared) would leave double's range: long double alone.
// `limits`, where given, gets the limits of M1 from the same relation, decided apart from the
// wave, so an unsure one costs only itself again.
template <typename Work>
auto worked(const Gas& gas, double M1, ShockLimits* limits, Work work)
{
    const bool fits = M1 < 1e25 && gas.gamma() < 1e20;
    Rounding forLimits;
    Rounding forWave;
    if (!kLongDoubleInHardware && fits) {
        const Relation<Number> r(gas, M1);
        if (limits)
            *limits = limitsOf(r, forLimits);
        return work(r, forWave);
    }
    const Relation<long double> r(gas, M1);
    if (limits)
        *limits = limitsOf(r, forLimits);
    auto result = work(r, forWave);
    if (!kLongDoubleInHardware || !fits || (forLimits.sure() && forWave.sure()))
        return result;
    const Relation<Number> precise(gas, M1);
    if (limits && !forLimits.sure())
        *limits = limitsOf(precise, forLimits);
    if (!forWave.sure())
        result = work(precise, forWave);
    return result;
}

}  // namespace

ShockLimits shockLimits(const Gas& gas, double M1)
{
    ShockLimits limits;
    (void)worked(gas, M1, &limits, [](const auto&, Rounding&) { return true; });
    return limits;
}

std::variant<Shock, WaveProblem> shockFromDeflection(const Gas& gas, double M1, double theta, Branch branch)
{
    if (const auto problem = machProblem(M1))
        return *problem;
    return worked(gas, M1, nullptr, [&](const auto& r, Rounding& rounded) {
        return fromDeflection(gas, r, M1, theta, branch, rounded);
    });
}

std::variant<Shock, WaveProblem> shockFromDeflection(const Gas& gas, double M1, double theta, Branch branch,
                                                     ShockLimits& limits)
{
    if (const auto problem = machProblem(M1))
        return *problem;
    return worked(gas, M1, &limits, [&](const auto& r, Rounding& rounded) {
        return fromDeflection(gas, r, M1, theta, branch, rounded);
    });
}

std::variant<Shock, WaveProblem> shockFromAngle(const Gas& gas, double M1, double beta)
{
    if (const auto problem = machProblem(M1))
        return *problem;
    return worked(gas, M1, nullptr,
                  [&](const auto& r, Rounding& rounded) { return fromAngle(gas, r, M1, beta, rounded); });
}

std::variant<Shock, WaveProblem> shockFromAngle(const Gas& gas, double M1, double beta, ShockLimits& limits)
{
    if (const auto problem = machProblem(M1))
        return *problem;
    return worked(gas, M1, &limits,
                  [&](const auto& r, Rounding& rounded) { return fromAngle(gas, r, M1, beta, rounded); });
}

void shocksFromDeflections(const Gas& gas, std::span<const double> M1, std::span<const double> theta,
                           std::span<LimitedShock> out)
{
    inBlocks<LimitedShock>(
        out, gas.isAir() && manyAtOnceInLanes(),
        [&](std::size_t first, std::size_t count, LimitedShock* shocks, bool* solved) {
            shocksInLanes(gas, M1.data() + first, theta.data() + first, count, shocks, solved);
        },
        [&](std::size_t i) {
            LimitedShock s;
            s.shock = shockFromDeflection(gas, M1[i], theta[i], Branch::Weak, s.limits);
            return s;
        });
}

std::variant<Shock, WaveProblem> shockFromDeflectionInDoubleDouble(const Gas& gas, double M1, double theta,
                                                                   Branch branch, ShockLimits& limits)
{
    if (const auto problem = machProblem(M1))
        return *problem;
    const Relation<Number> r(gas, M1);
    Rounding rounded;
    limits = limitsOf(r, rounded);
    return fromDeflection(gas, r, M1, theta, branch, rounded);
}

std::variant<Shock, WaveProblem> shockFromAngleInDoubleDouble(const Gas& gas, double M1, double beta)
{
    if (const auto problem = machProblem(M1))
        return *problem;
    Rounding rounded;
    return fromAngle(gas, Relation<Number>(gas, M1), M1, beta, rounded);
}

}  // namespace velhorn::flow
