#include "flow/shock_lanes.h"

#include "flow/angles.h"
#include "flow/double_double.h"
#include "flow/fan_parts.h"
#include "flow/lanes.h"

#include <algorithm>
#include <cmath>

namespace velhorn::flow {

#if defined(__AVX2__) && defined(__FMA__)

namespace {

using dd::splat;
using lanes::kWidth;
using Lanes = lanes::Lanes;  // eight cases, two registers side by side
using Mask = lanes::Mask;
using Wide = dd::Pair<Lanes>;

// Relative error allowances: double-double's roundings over a chain of some twenty steps, and
// the arctangent's (dd::kArctanError), each with room to spare.
constexpr double kSteps = 0x1p-96;
constexpr double kArctan = 0x1p-76;

[[gnu::always_inline]] inline Wide exact(Lanes x)
{
    return {x, Lanes{}};
}
[[gnu::always_inline]] inline Wide plus(Wide a, Wide b)
{
    return dd::add(a, b);
}
[[gnu::always_inline]] inline Wide minus(Wide a, Wide b)
{
    return dd::add(a, dd::negate(b));
}
[[gnu::always_inline]] inline Wide times(Wide a, Wide b)
{
    return dd::multiply(a, b);
}
[[gnu::always_inline]] inline Wide over(Wide a, Wide b)
{
    return dd::divide(a, b);
}
[[gnu::always_inline]] inline Wide twice(Wide a)
{
    return {2 * a.hi, 2 * a.lo};
}
// p/q of whole numbers, to double-double's precision, in every lane.
inline Wide fraction(double p, double q)
{
    return splat<Lanes>(dd::divide(dd::Wide{p, 0}, dd::Wide{q, 0}));
}

// Air's coefficients, gamma = 7/5.
struct Air {
    Wide gammaPlusOne = fraction(12, 5);
    Wide gammaMinusOne = fraction(2, 5);
    Wide half = fraction(1, 5);            // (gamma - 1) / 2
    Wide gamma = fraction(7, 5);
    Wide pressureRise = fraction(7, 6);    // 2 gamma / (gamma + 1)
    Wide threeMinusGamma = fraction(8, 5);
    Wide gammaPlusNine = fraction(52, 5);
    Wide fourGamma = fraction(28, 5);
};

// tan of 0 < theta < 90 degrees in double-double, as tangentOfDegrees works it a case at a time:
// double's quotient of the sine and cosine series for a start, then one step on the arctangent.
// Its error is the arctangent's passed on by the slope, (1 + T^2) times the angle's.
[[gnu::always_inline]] inline Wide tangentOfDegrees(Lanes degrees)
{
    const Wide x = times(exact(degrees), splat<Lanes>(dd::kRadiansPerDegree));
    // Beyond pi/4 from the complement, whose difference is exact in its high part.
    const Mask far = dd::isLess(splat<Lanes>(0.78539816339744828), x.hi);
    const Lanes y = dd::select(far, (dd::kHalfPi.hi - x.hi) + (dd::kHalfPi.lo - x.lo), x.hi);
    const SinCosOf<Lanes> sc = sinCosSeries(y);
    const Lanes t0 = dd::select(far, sc.cos / sc.sin, sc.sin / sc.cos);
    const Wide miss = minus(x, dd::arctanOfQuotient(exact(t0), splat<Lanes>(dd::Wide{1, 0})));
    return plus(exact(t0), times(miss, plus(splat<Lanes>(dd::Wide{1, 0}), dd::twoProduct(t0, t0))));
}

// A value and whether it surely rounds to its double, with a relative error of at most `error`
// beyond the steps' own; an angle in degrees from its radians, as the fan engine converts them.
using Decided = parts::Sure<Lanes>;
[[gnu::always_inline]] inline Decided degreesOf(Wide radians, Lanes error)
{
    return parts::degreesIfSure(parts::Bounded<Lanes>{radians, dd::absOf(radians.hi) * (error + kSteps)});
}
[[gnu::always_inline]] inline Decided decided(Wide value, Lanes error)
{
    return {value.hi, dd::surelyRoundsIn(value, dd::absOf(value.hi) * (error + kSteps))};
}

// What the stages keep of a group of eight cases.
struct Group {
    Lanes M1, theta;
    Wide M2, m, A, B, wMax, T;
    Lanes w;  // the weak root of the relation in w = cot(beta), in double until the last steps
    Lanes tError;  // T's relative error
    Mask sure, converged;
};

// The relation's coefficients, tan(theta) and the crest, as Relation holds them; a lane is
// left to the engine near M = 1, past M = 10^4, below 10^-6 degrees, near or past thetaMax.
[[gnu::always_inline]] inline void begin(Group& g, const Air& air)
{
    const Lanes M = g.M1;
    g.sure = dd::both(dd::both(dd::isLessOrEqual(splat<Lanes>(1.0001), M), dd::isLessOrEqual(M, splat<Lanes>(1e4))),
                      dd::both(dd::isLessOrEqual(splat<Lanes>(1e-6), g.theta), dd::isLess(g.theta, splat<Lanes>(89))));
    // Lanes set aside still compute, on harmless values.
    const Lanes safeM = dd::select(g.sure, M, splat<Lanes>(2));
    const Lanes theta = dd::select(g.sure, g.theta, splat<Lanes>(10));
    g.M2 = dd::twoProduct(safeM, safeM);
    g.m = times(dd::twoSum(safeM, splat<Lanes>(-1)), dd::twoSum(safeM, splat<Lanes>(1)));
    g.A = plus(times(air.gammaPlusOne, g.M2), splat<Lanes>(dd::Wide{2, 0}));
    g.B = plus(times(air.gammaMinusOne, g.M2), splat<Lanes>(dd::Wide{2, 0}));
    const Wide b = plus(times(g.m, g.A), times(splat<Lanes>(dd::Wide{3, 0}), g.B));
    const Wide mAB = times(g.m, times(g.A, g.B));
    const Wide root = dd::squareRoot(plus(times(b, b), times(splat<Lanes>(dd::Wide{4, 0}), mAB)));
    g.wMax = dd::squareRoot(over(twice(times(g.m, g.B)), plus(b, root)));
    g.T = tangentOfDegrees(theta);
    const Lanes x = theta * (dd::kRadiansPerDegree.hi);
    g.tError = kArctan * x * (1 + g.T.hi * g.T.hi) / g.T.hi;
    const Lanes w2 = g.wMax.hi * g.wMax.hi;
    const Lanes tanMax = 2 * g.wMax.hi * (g.m.hi - w2) / (g.B.hi + g.A.hi * w2);
    g.sure = dd::both(g.sure, dd::isLess(g.T.hi, tanMax * (1 - 0x1p-30)));
    g.w = dd::squareRootOf(g.m.hi);
    g.converged = Lanes{};
}

// One Newton pass in double on H(w) = 2 w (m - w^2) - T (B + A w^2), down from the Mach wave;
// a lane is done once a step moves w by 2^-40 of itself or less.
[[gnu::always_inline]] inline void newtonPass(Group& g)
{
    const Lanes w = g.w, w2 = w * w;
    const Lanes H = 2 * w * (g.m.hi - w2) - g.T.hi * (g.B.hi + g.A.hi * w2);
    const Lanes slope = 2 * g.m.hi - 6 * w2 - 2 * g.T.hi * g.A.hi * w;
    const Lanes next = w - H / slope;
    g.converged = dd::isLessOrEqual(dd::absOf(next - w), 0x1p-40 * w);
    g.w = dd::select(g.converged, g.w, next);
}

// H at w in double-double, and the sum of its terms' magnitudes.
struct Residual {
    Wide H;
    Lanes scale;
};
[[gnu::always_inline]] inline Residual residual(const Group& g, Wide w)
{
    const Wide w2 = times(w, w);
    const Wide left = twice(times(w, minus(g.m, w2)));
    const Wide right = times(g.T, plus(g.B, times(g.A, w2)));
    return {minus(left, right), dd::absOf(left.hi) + 4 * w.hi * w2.hi + right.hi};
}

// The shock and its limits, where every value is decided.
[[gnu::always_inline]] inline void finish(const Group& g, const Air& air, double gamma, std::size_t count,
                                          LimitedShock* out, bool* solved)
{
    // Two Newton steps in double-double from double's root, then the residual bounds the root's
    // error, with T's, over the slope.
    Wide w = exact(g.w);
    Lanes slope{};
    for (int step = 0; step < 2; ++step) {
        const Lanes x = w.hi;
        slope = 2 * g.m.hi - 6 * x * x - 2 * g.T.hi * g.A.hi * x;
        w = plus(w, exact(-(residual(g, w).H.hi / slope)));
    }
    const Residual r = residual(g, w);
    const Lanes wError = 2 * (dd::absOf(r.H.hi) + r.scale * (kSteps + g.tError)) / (dd::absOf(slope) * w.hi);
    Mask sure = dd::both(g.sure, dd::both(g.converged, dd::isLess(wError, splat<Lanes>(0x1p-60))));

    const Wide one = splat<Lanes>(dd::Wide{1, 0});
    const Wide w2 = times(w, w);
    const Wide onePlusW2 = plus(one, w2);
    const Decided beta = degreesOf(dd::arctanOfQuotient(one, w), kArctan + wError);
    const Wide n1 = over(g.M2, onePlusW2);  // Mn1^2
    const Decided Mn1 = decided(dd::squareRoot(n1), wError);
    // Mn1^2 - 1 without its cancellation near the Mach wave, which multiplies w's error.
    const Wide excess = over(minus(g.m, w2), onePlusW2);
    const Lanes cancelled = (g.m.hi + w2.hi) / dd::absOf(g.m.hi - w2.hi);
    const Lanes pError = cancelled * (2 * wError + kSteps) + 2 * wError;
    const Wide p = plus(one, times(air.pressureRise, excess));
    const Wide rho = over(times(air.gammaPlusOne, n1), plus(times(air.gammaMinusOne, n1), splat<Lanes>(dd::Wide{2, 0})));
    const Lanes rhoError = 2 * wError;
    const Wide n2 = over(plus(one, times(air.half, n1)), minus(times(air.gamma, n1), air.half));
    const Decided Mn2 = decided(dd::squareRoot(n2), 2 * wError);
    // sin^2(beta - theta) from tan(beta - theta) = (1 - T w) / (w + T); 1 - T w may cancel.
    const Wide up = minus(one, times(g.T, w));
    const Wide across = plus(w, g.T);
    const Wide upSquared = times(up, up);
    const Wide sin2 = over(upSquared, plus(upSquared, times(across, across)));
    const Lanes upCancelled = dd::absOf(g.T.hi * w.hi / up.hi) + 1;
    const Decided M2 = decided(dd::squareRoot(over(n2, sin2)), 2 * wError + 4 * upCancelled * (wError + g.tError));
    const Decided p2p1 = decided(p, pError);
    const Decided rho2rho1 = decided(rho, rhoError);
    const Decided T2T1 = decided(over(p, rho), pError + rhoError);
    const Wide q = over(rho, p);
    const Decided p02p01 = decided(times(times(rho, times(q, q)), dd::squareRoot(q)), 3.5 * rhoError + 2.5 * pError + 2 * (pError + rhoError));

    // The limits of M1, from the crest and the sonic point.
    const Decided mu = degreesOf(dd::arctanOfQuotient(one, dd::squareRoot(g.m)), splat<Lanes>(kArctan));
    const Wide wMax2 = times(g.wMax, g.wMax);
    const Wide tanMax = over(twice(times(g.wMax, minus(g.m, wMax2))), plus(g.B, times(g.A, wMax2)));
    const Lanes crestCancelled = (g.m.hi + wMax2.hi) / (g.m.hi - wMax2.hi);
    const Decided thetaMax = degreesOf(dd::arctanOfQuotient(tanMax, one), kArctan + 4 * crestCancelled * kSteps);
    const Decided betaMax = degreesOf(dd::arctanOfQuotient(one, g.wMax), splat<Lanes>(kArctan));
    const Wide M4 = times(g.M2, g.M2);
    const Wide radical = dd::squareRoot(
        times(air.gammaPlusOne, plus(minus(times(air.gammaPlusOne, M4), twice(times(air.threeMinusGamma, g.M2))),
                                     air.gammaPlusNine)));
    const Wide numerator = plus(minus(times(air.gammaPlusOne, g.M2), air.threeMinusGamma), radical);
    const Wide whole = times(air.fourGamma, g.M2);
    const Wide sonicW = dd::squareRoot(over(minus(whole, numerator), numerator));
    const Lanes sonicCancelled = whole.hi / (whole.hi - numerator.hi);
    const Wide sonicW2 = times(sonicW, sonicW);
    const Lanes sonicCrestCancelled = (g.m.hi + sonicW2.hi) / (g.m.hi - sonicW2.hi);
    const Decided thetaSonic =
        degreesOf(dd::arctanOfQuotient(twice(times(sonicW, minus(g.m, sonicW2))), plus(g.B, times(g.A, sonicW2))),
                  kArctan + 4 * (sonicCancelled + sonicCrestCancelled + 1) * kSteps);
    const Decided betaSonic = degreesOf(dd::arctanOfQuotient(one, sonicW), kArctan + 4 * sonicCancelled * kSteps);

    const Decided values[] = {beta, Mn1, Mn2, M2, p2p1, rho2rho1, T2T1, p02p01,
                              mu,   thetaMax, betaMax, thetaSonic, betaSonic};
    alignas(32) double v[std::size(values)][kWidth];
    for (std::size_t c = 0; c < std::size(values); ++c) {
        sure = dd::both(sure, values[c].sure);
        lanes::store(v[c], values[c].value);
    }
    const int decidedLanes = lanes::bitsOf(sure);
    alignas(32) double M1[kWidth], theta[kWidth];
    lanes::store(M1, g.M1);
    lanes::store(theta, g.theta);
    for (std::size_t lane = 0; lane < count; ++lane) {
        solved[lane] = decidedLanes >> lane & 1;
        if (!solved[lane])
            continue;
        Shock s;
        s.gamma = gamma;
        s.M1 = M1[lane];
        s.theta = theta[lane];
        s.beta = v[0][lane];
        s.strong = false;  // the weak root lies beyond the crest's w
        s.Mn1 = v[1][lane];
        s.Mn2 = v[2][lane];
        s.M2 = v[3][lane];
        s.p2p1 = v[4][lane];
        s.rho2rho1 = v[5][lane];
        s.T2T1 = v[6][lane];
        s.p02p01 = v[7][lane];
        out[lane].shock = s;
        out[lane].limits = ShockLimits{v[8][lane], v[9][lane], v[10][lane], v[11][lane], v[12][lane]};
    }
}

}  // namespace

void shocksInLanes(const Gas& air, const double* M1, const double* theta, std::size_t n, LimitedShock* out,
                   bool* solved)
{
    if (!air.isAir())
        return std::fill(solved, solved + n, false);  // its powers and coefficients are air's
    const Air coefficients;
    lanes::inGroups<Group>(
        n, 60,
        [&](Group& g, const std::size_t* at) {
            g.M1 = lanes::gathered(M1, at);
            g.theta = lanes::gathered(theta, at);
            begin(g, coefficients);
        },
        [](Group& g) { newtonPass(g); },
        [&](Group& g, std::size_t first, std::size_t count) {
            finish(g, coefficients, air.gamma(), count, out + first, solved + first);
        });
}

#else

void shocksInLanes(const Gas&, const double*, const double*, std::size_t n, LimitedShock*, bool* solved)
{
    std::fill(solved, solved + n, false);
}

#endif

}  // namespace velhorn::flow
