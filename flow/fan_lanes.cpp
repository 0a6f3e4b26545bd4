#include "flow/fan_lanes.h"

#include "flow/fan_parts.h"
#include "flow/lanes.h"

#include <algorithm>
#include <cmath>

namespace velhorn::flow {

#if defined(__AVX2__) && defined(__FMA__)

namespace {

using dd::Pair;
using dd::splat;
using Four = dd::Lanes;
using lanes::kWidth;
using Lanes = lanes::Lanes;  // eight cases, two registers side by side
using Mask = lanes::Mask;

// atan(x) for x >= 0 in double, to a few ulps: what the Newton passes steer by. From the same
// table as the double-double arctangent, and four terms of the series of atan(t), |t| <= 1/128.
[[gnu::always_inline]] inline Lanes arctanRough(Lanes x)
{
    const Mask inverted = dd::isLess(splat<Lanes>(1), x);
    const Lanes a = dd::select(inverted, 1 / x, x);
    const auto point = dd::tablePointNear(a);
    const Lanes t = (a - point.c) / (1 + a * point.c);
    const Lanes u = t * t;
    const Lanes angle = point.atanOfC.hi + (point.atanOfC.lo + t * (1 + u * (-1.0 / 3 + u * (1.0 / 5 - u / 7))));
    return dd::select(inverted, dd::kHalfPi.hi - angle, angle);
}

// Air's nu in radians from s, by the closed form, to a few ulps.
[[gnu::always_inline]] inline Lanes nuRough(Lanes s, Lanes lambda)
{
    return lambda * arctanRough(s / lambda) - arctanRough(s);
}

// The cube root of x > 0 to about 1e-10, which Hall's start needs far less than: Kahan's third
// of the upper word for a start within a few per cent, then three Newton steps.
[[gnu::always_inline]] inline Four cubeRoot(Four x)
{
    const __m256i upper = _mm256_srli_epi64(_mm256_castpd_si256(x), 32);
    const __m256i third = _mm256_srli_epi64(_mm256_mul_epu32(upper, _mm256_set1_epi64x(0x55555556)), 32);
    Four y = _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_add_epi64(third, _mm256_set1_epi64x(715094163)), 32));
    for (int step = 0; step < 3; ++step)
        y = (2 * y + x / (y * y)) * (1.0 / 3);
    return y;
}

[[gnu::always_inline]] inline Lanes cubeRoot(Lanes x)
{
    return {cubeRoot(x.a), cubeRoot(x.b)};
}

// What the stages keep of a group of eight cases.
struct Group {
    Lanes M1, theta;
    Lanes nu1, mu1, T1, p1, rho1;
    Lanes nu2, target, s;
    Lanes M2, mu2, T2, p2, rho2, T21, p21, rho21;
    Mask sure, converged;
};

// A state of air from its M, 1 < M <= 10^6: nu and mu from atan(s), and the ratios.
struct StateLanes {
    Lanes nu, mu, T, p, rho;
    Mask sure;
};
[[gnu::always_inline]] inline StateLanes stateOf(Lanes M, const Pair<Lanes>& lambda)
{
    const parts::NuAndArctan<Lanes> at = parts::nuWide(lambda, parts::sWide(M));
    const parts::Sure<Lanes> nu = parts::degreesIfSure(at.nu);
    const parts::Sure<Lanes> mu = parts::degreesIfSure(parts::muFromArctanOfS(at.atanOfS));
    const parts::AirRatios<Lanes> r = parts::airRatios(divide(splat<Lanes>(dd::Wide{5, 0}), parts::airFiveStagnation(M)));
    const Mask inRange = dd::both(dd::isLess(splat<Lanes>(1), M), dd::isLessOrEqual(M, splat<Lanes>(1e6)));
    return {nu.value, mu.value, r.T, r.p, r.rho, dd::both(dd::both(nu.sure, mu.sure), dd::both(r.sure, inRange))};
}

// Hall's start for the inverse of nu2 within (0, nuMax), in the lanes still sure.
[[gnu::always_inline]] inline void startInverse(Group& g, Mask sure, double nuMax)
{
    sure = dd::both(sure, dd::both(dd::isLess(Lanes{}, g.nu2), dd::isLess(g.nu2, splat<Lanes>(nuMax))));
    g.target = multiply(Pair<Lanes>{g.nu2, Lanes{}}, splat<Lanes>(dd::kRadiansPerDegree)).hi;
    const Lanes f = dd::select(sure, g.target * (1 / parts::kAirNuMaxRadians), splat<Lanes>(0.5));
    const Lanes hall = parts::hallMach(cubeRoot(f * f));
    g.sure = dd::both(sure, dd::both(dd::isLess(splat<Lanes>(1.1), hall), dd::isLess(hall, splat<Lanes>(1e6))));
    g.s = dd::squareRootOf((hall - 1) * (hall + 1));
    g.converged = Lanes{};
}

// The upstream state, nu2 = nu1 + theta, and the start of its inverse.
[[gnu::always_inline]] inline void upstream(Group& g, const Pair<Lanes>& lambda, double nuMax)
{
    const StateLanes state = stateOf(g.M1, lambda);
    g.nu1 = state.nu;
    g.mu1 = state.mu;
    g.T1 = state.T;
    g.p1 = state.p;
    g.rho1 = state.rho;
    Mask sure = state.sure;
    // A turn of nothing, or none at all, is solveFan's to answer.
    sure = dd::both(sure, dd::both(dd::isNotEqual(g.theta, Lanes{}), parts::isFiniteIn(g.theta)));
    g.nu2 = g.nu1 + g.theta;
    startInverse(g, sure, nuMax);
}

// One Newton pass on the rough nu; a lane is done once a step moves it by 1e-6 of itself or
// less, which leaves some 1e-12 for the last step to square.
[[gnu::always_inline]] inline void newtonPass(Group& g, Lanes lambda, Lanes lambdaSquaredMinusOne)
{
    const Lanes next = g.s - (nuRough(g.s, lambda) - g.target) / parts::nuSlope(g.s, lambdaSquaredMinusOne);
    g.converged = dd::isLessOrEqual(dd::absOf(next - g.s), 1e-6 * g.s);
    g.s = next;
}

// The last step in double-double, M2 and mu2 from it, and the ratios.
[[gnu::always_inline]] inline void downstream(Group& g, const Pair<Lanes>& lambda, Lanes lambdaSquaredMinusOne)
{
    const parts::FinishedMach<Lanes> finished = parts::machFinished(lambda, lambdaSquaredMinusOne, g.s, g.nu2);
    g.M2 = finished.M.value;
    const parts::Sure<Lanes> mu2 = parts::muNear(g.M2, finished.muAtS, g.s);
    const parts::AirRatios<Lanes> r = parts::airRatios(divide(splat<Lanes>(dd::Wide{5, 0}), parts::airFiveStagnation(g.M2)));
    const parts::AirRatios<Lanes> across =
        parts::airRatios(divide(parts::airFiveStagnation(g.M1), parts::airFiveStagnation(g.M2)));
    g.mu2 = mu2.value;
    g.T2 = r.T;
    g.p2 = r.p;
    g.rho2 = r.rho;
    g.T21 = across.T;
    g.p21 = across.p;
    g.rho21 = across.rho;
    g.sure = dd::both(dd::both(dd::both(g.sure, g.converged), finished.M.sure),
                      dd::both(mu2.sure, dd::both(r.sure, across.sure)));
}

// The decided lanes of a group, the first `count` of its eight, as fans from `fans` on; the mask of
// them.
int fansOf(const Group& g, std::size_t count, const Gas& air, double nuMax, Fan* fans)
{
    const int decided = lanes::bitsOf(g.sure);
    if (decided == 0)
        return 0;
    alignas(32) double v[16][kWidth];
    const Lanes columns[16] = {g.M1, g.nu1, g.mu1, g.p1, g.T1, g.rho1, g.M2,  g.nu2,
                               g.mu2, g.p2, g.T2, g.rho2, g.theta, g.p21, g.T21, g.rho21};
    for (int c = 0; c < 16; ++c)
        lanes::store(v[c], columns[c]);
    for (std::size_t lane = 0; lane < count; ++lane) {
        if (!(decided >> lane & 1))
            continue;
        Fan& fan = fans[lane];
        fan.gamma = air.gamma();
        fan.upstream = State{v[0][lane], v[1][lane], v[2][lane], v[3][lane], v[4][lane], v[5][lane]};
        fan.downstream = State{v[6][lane], v[7][lane], v[8][lane], v[9][lane], v[10][lane], v[11][lane]};
        fan.theta = v[12][lane];
        fan.p2p1 = v[13][lane];
        fan.T2T1 = v[14][lane];
        fan.rho2rho1 = v[15][lane];
        fan.forwardMachLine = fan.upstream.mu;
        fan.rearwardMachLine = fan.downstream.mu - fan.theta;
        fan.nuMax = nuMax;
        fan.maxTurn = nuMax - fan.upstream.nu;
    }
    return decided;
}

// Every case a group at a time (lanes::inGroups): begin(group, at, lambda), Newton passes on the
// rough nu, then finish(group, first, lanes, lambda, lambda^2 - 1).
template <typename Begin, typename Finish>
void inverseInBlocks(const Gas& air, std::size_t n, Begin begin, Finish finish)
{
    const Pair<Lanes> lambda = dd::splat<Lanes>(air.lambdaWide());
    const Lanes lambdaSquaredMinusOne = splat<Lanes>(air.lambdaSquaredMinusOne());
    lanes::inGroups<Group>(
        n, 8, [&](Group& g, const std::size_t* at) { begin(g, at, lambda); },
        [&](Group& g) { newtonPass(g, lambda.hi, lambdaSquaredMinusOne); },
        [&](Group& g, std::size_t first, std::size_t count) { finish(g, first, count, lambda, lambdaSquaredMinusOne); });
}

}  // namespace

void fansInLanes(const Gas& air, const double* M1, const double* theta, std::size_t n, Fan* fans, bool* solved)
{
    if (!air.isAir())
        return std::fill(solved, solved + n, false);  // its powers and coefficients are air's
    const double nuMax = nuMaxDegrees(air);
    inverseInBlocks(
        air, n,
        [&](Group& g, const std::size_t* at, const Pair<Lanes>& lambda) {
            g.M1 = lanes::gathered(M1, at);
            g.theta = lanes::gathered(theta, at);
            upstream(g, lambda, nuMax);
        },
        [&](Group& g, std::size_t first, std::size_t lanes, const Pair<Lanes>& lambda, Lanes lambdaSquaredMinusOne) {
            downstream(g, lambda, lambdaSquaredMinusOne);
            const int decided = fansOf(g, lanes, air, nuMax, fans + first);
            for (std::size_t lane = 0; lane < lanes; ++lane)
                solved[first + lane] = decided >> lane & 1;
        });
}

void machsInLanes(const Gas& air, const double* nu, std::size_t n, double* M, bool* solved)
{
    if (!air.isAir())
        return std::fill(solved, solved + n, false);  // its powers and coefficients are air's
    const double nuMax = nuMaxDegrees(air);
    inverseInBlocks(
        air, n,
        [&](Group& g, const std::size_t* at, const Pair<Lanes>&) {
            g.nu2 = lanes::gathered(nu, at);
            startInverse(g, dd::isEqual(g.nu2, g.nu2), nuMax);
        },
        [&](Group& g, std::size_t first, std::size_t lanes, const Pair<Lanes>& lambda, Lanes lambdaSquaredMinusOne) {
            const parts::FinishedMach<Lanes> finished = parts::machFinished(lambda, lambdaSquaredMinusOne, g.s, g.nu2);
            const int decided = lanes::bitsOf(dd::both(dd::both(g.sure, g.converged), finished.M.sure));
            alignas(32) double m[kWidth];
            lanes::store(m, finished.M.value);
            for (std::size_t lane = 0; lane < lanes; ++lane) {
                solved[first + lane] = decided >> lane & 1;
                M[first + lane] = m[lane];
            }
        });
}

void statesInLanes(const Gas& air, const double* M, std::size_t n, State* states, bool* solved)
{
    if (!air.isAir())
        return std::fill(solved, solved + n, false);  // its powers and coefficients are air's
    const Pair<Lanes> lambda = dd::splat<Lanes>(air.lambdaWide());
    for (std::size_t first = 0; first < n; first += kWidth) {
        const std::size_t lanes = std::min<std::size_t>(kWidth, n - first);
        std::size_t at[kWidth];
        for (std::size_t lane = 0; lane < kWidth; ++lane)
            at[lane] = first + std::min(lanes - 1, lane);
        const StateLanes s = stateOf(lanes::gathered(M, at), lambda);
        alignas(32) double v[5][kWidth];
        const Lanes columns[5] = {s.nu, s.mu, s.p, s.T, s.rho};
        for (int c = 0; c < 5; ++c)
            lanes::store(v[c], columns[c]);
        const int decided = lanes::bitsOf(s.sure);
        for (std::size_t lane = 0; lane < lanes; ++lane) {
            solved[first + lane] = decided >> lane & 1;
            states[first + lane] = State{M[first + lane], v[0][lane], v[1][lane], v[2][lane], v[3][lane], v[4][lane]};
        }
    }
}

#else

void fansInLanes(const Gas&, const double*, const double*, std::size_t n, Fan*, bool* solved)
{
    std::fill(solved, solved + n, false);
}

void statesInLanes(const Gas&, const double*, std::size_t n, State*, bool* solved)
{
    std::fill(solved, solved + n, false);
}

void machsInLanes(const Gas&, const double*, std::size_t n, double*, bool* solved)
{
    std::fill(solved, solved + n, false);
}

#endif

}  // namespace velhorn::flow
