#include "bodies/body.h"
#include "bodies/drawing.h"
#include "bodies/shapes.h"
#include "flow/angles.h"
#include "flow/corners.h"
#include "flow/oblique_shock.h"
#include "flow/shock_lanes.h"
#include "flow/solve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace velhorn::flow {
namespace {

const Shock& shockOf(const std::variant<Shock, WaveProblem>& v)
{
    static const Shock none{};
    EXPECT_TRUE(std::holds_alternative<Shock>(v));
    return std::holds_alternative<Shock>(v) ? std::get<Shock>(v) : none;
}

// Normal shocks, air: NACA Report 1135, Table II (five figures), also Anderson, Modern
// Compressible Flow, Appendix B.
TEST(Shock, NormalShockTable)
{
    struct Case { double M1, p2p1, rho2rho1, T2T1, M2, p02p01; };
    const std::vector<Case> cases = {
        {1.5, 2.4583, 1.8621, 1.3202, 0.70109, 0.92979},
        {2.0, 4.5000, 2.6667, 1.6875, 0.57735, 0.72087},
        {3.0, 10.333, 3.8571, 2.6790, 0.47519, 0.32834},
        {5.0, 29.000, 5.0000, 5.8000, 0.41523, 0.06172},
    };
    for (const Case& c : cases) {
        const Shock s = shockOf(shockFromAngle(Gas::air(), c.M1, 90));
        EXPECT_NEAR(s.p2p1, c.p2p1, 5e-5 * c.p2p1) << c.M1;
        EXPECT_NEAR(s.rho2rho1, c.rho2rho1, 5e-5 * c.rho2rho1) << c.M1;
        EXPECT_NEAR(s.T2T1, c.T2T1, 5e-5 * c.T2T1) << c.M1;
        EXPECT_NEAR(s.M2, c.M2, 5e-6) << c.M1;
        EXPECT_NEAR(s.p02p01, c.p02p01, 5e-6) << c.M1;
        EXPECT_EQ(s.theta, 0) << c.M1;
    }
}

// The largest deflection and its shock angle, air: NACA Report 1135, Chart 2 (two decimals); a
// very large M1 stands for the hypersonic limit, 45.58 degrees at beta 67.79.
TEST(Shock, LargestDeflection)
{
    struct Case { double M1, thetaMax, betaMax; };
    const std::vector<Case> cases = {{2.0, 22.97, 64.67}, {3.0, 34.07, 65.24}, {1e6, 45.58, 67.79}};
    for (const Case& c : cases) {
        const ShockLimits l = shockLimits(Gas::air(), c.M1);
        EXPECT_NEAR(l.thetaMax, c.thetaMax, 0.005) << c.M1;
        EXPECT_NEAR(l.betaMax, c.betaMax, 0.005) << c.M1;
        EXPECT_LE(l.thetaSonic, l.thetaMax) << c.M1;
    }
    // At the sonic deflection the weak shock leaves M2 = 1 (away from thetaMax, where M2 is not
    // conditioned to see it).
    for (double M1 : {1.2, 2.0, 3.0}) {
        const ShockLimits l = shockLimits(Gas::air(), M1);
        EXPECT_NEAR(shockOf(shockFromDeflection(Gas::air(), M1, l.thetaSonic)).M2, 1, 1e-9) << M1;
    }
}

// Oblique shocks, air. M1 = 2, theta = 10: beta 39.31, p2/p1 1.7066, M2 1.6405 (NACA Report
// 1135, Charts 2 to 5, read to the chart's precision). M1 = 3, theta = 10: beta about 27.4
// (Chart 2, and the theta-beta-M chart of Anderson, Modern Compressible Flow).
TEST(Shock, ObliqueChartValues)
{
    const Shock a = shockOf(shockFromDeflection(Gas::air(), 2, 10));
    EXPECT_NEAR(a.beta, 39.31, 0.005);
    EXPECT_NEAR(a.p2p1, 1.7066, 5e-4);
    EXPECT_NEAR(a.M2, 1.6405, 5e-4);
    const Shock b = shockOf(shockFromDeflection(Gas::air(), 3, 10));
    EXPECT_NEAR(b.beta, 27.4, 0.05);
    EXPECT_FALSE(b.strong);
    EXPECT_TRUE(shockOf(shockFromDeflection(Gas::air(), 3, 10, Branch::Strong)).strong);
    // No deflection: the weak shock is the Mach wave, the strong one the normal shock.
    EXPECT_NEAR(shockOf(shockFromDeflection(Gas::air(), 2, 0)).beta, 30, 1e-13);
    EXPECT_EQ(shockOf(shockFromDeflection(Gas::air(), 2, 0, Branch::Strong)).beta, 90);
}

// Across any shock: mass, normal momentum and energy are conserved, and the tangential velocity
// kept; each checked in long double from the doubles given, to a few ulps of the double.
TEST(Shock, ConservesMassMomentumAndEnergy)
{
    for (double gamma : {1.4, 5.0 / 3, 1.2, 1.05}) {
        const Gas gas(gamma);
        for (double M1 : {1.01, 1.3, 2.0, 3.7, 10.0, 50.0}) {
            const ShockLimits l = shockLimits(gas, M1);
            for (double fraction : {0.01, 0.3, 0.7, 0.95}) {
                for (Branch branch : {Branch::Weak, Branch::Strong}) {
                    const Shock s = shockOf(shockFromDeflection(gas, M1, fraction * l.thetaMax, branch));
                    const long double g = gamma, n1 = s.Mn1, n2 = s.Mn2;
                    const long double a2a1 = std::sqrt(static_cast<long double>(s.T2T1));
                    const auto near = [](long double value, const char* what, double M, double f) {
                        EXPECT_NEAR(static_cast<double>(value), 1.0, 1.2e-15) << what << " M1 " << M << " of max " << f;
                    };
                    near(s.rho2rho1 * n2 * a2a1 / n1, "mass", M1, fraction);
                    near(s.p2p1 * (1 + g * n2 * n2) / (1 + g * n1 * n1), "momentum", M1, fraction);
                    near(s.T2T1 * (1 + (g - 1) / 2 * n2 * n2) / (1 + (g - 1) / 2 * n1 * n1), "energy", M1, fraction);
                    const long double b = s.beta * 3.14159265358979323846264L / 180;
                    const long double t = s.theta * 3.14159265358979323846264L / 180;
                    // Its cosines magnify the rounding of beta, by tan(beta) where beta is near 90 degrees.
                    const double betaUlp = (std::nextafter(s.beta, 180.0) - s.beta) * 3.14159265358979 / 180;
                    const double bound = 1.2e-15 + static_cast<double>(std::fabs(std::tan(b)) + std::fabs(std::tan(b - t))) * betaUlp;
                    EXPECT_NEAR(static_cast<double>(s.M2 * std::cos(b - t) * a2a1 / (M1 * std::cos(b))), 1.0, bound)
                        << "tangential velocity M1 " << M1 << " of max " << fraction;
                }
            }
        }
    }
}

TEST(Shock, RefusalsNameTheRange)
{
    const auto detached = shockFromDeflection(Gas::air(), 3, 40);
    ASSERT_TRUE(std::holds_alternative<WaveProblem>(detached));
    EXPECT_EQ(std::get<WaveProblem>(detached).kind, WaveProblem::Kind::Detached);
    EXPECT_NEAR(std::get<WaveProblem>(detached).high, 34.07, 0.005);
    struct Case { double M1, theta; WaveProblem::Kind kind; };
    for (const Case& c : std::vector<Case>{{0.8, 5, WaveProblem::Kind::Subsonic},
                                           {2, -1, WaveProblem::Kind::NotACompression},
                                           {2, NAN, WaveProblem::Kind::NotFinite},
                                           {NAN, 5, WaveProblem::Kind::NotFinite},
                                           // past 90 degrees tan(theta) is negative or small again
                                           {3, 90, WaveProblem::Kind::Detached},
                                           {3, 100, WaveProblem::Kind::Detached},
                                           {3, 200, WaveProblem::Kind::Detached}}) {
        const auto r = shockFromDeflection(Gas::air(), c.M1, c.theta);
        ASSERT_TRUE(std::holds_alternative<WaveProblem>(r)) << c.M1 << " " << c.theta;
        EXPECT_EQ(std::get<WaveProblem>(r).kind, c.kind) << c.M1 << " " << c.theta;
    }
    const auto low = shockFromAngle(Gas::air(), 2, 29);  // below the Mach angle, 30
    ASSERT_TRUE(std::holds_alternative<WaveProblem>(low));
    EXPECT_NEAR(std::get<WaveProblem>(low).low, 30, 1e-12);
}

// The shock with its limits in one call is the two calls apart, to the bit, on both branches and
// from beta, for gases either side of air and Mach numbers from near 1 to far beyond any table.
TEST(Shock, WithLimitsIsBothCallsApart)
{
    struct Case { double gamma, M1, theta, beta; };
    for (const Case& c : std::vector<Case>{{1.4, 1.05, 0.5, 80}, {1.4, 3, 20, 40}, {5.0 / 3, 2, 10, 50},
                                           {1.1, 8, 30, 10}, {1.4, 1e6, 45, 60}}) {
        SCOPED_TRACE(testing::Message() << c.gamma << " " << c.M1 << " " << c.theta);
        const Gas gas(c.gamma);
        const ShockLimits apart = shockLimits(gas, c.M1);
        for (Branch branch : {Branch::Weak, Branch::Strong}) {
            ShockLimits together;
            const auto both = shockFromDeflection(gas, c.M1, c.theta, branch, together);
            const auto alone = shockFromDeflection(gas, c.M1, c.theta, branch);
            ASSERT_TRUE(std::holds_alternative<Shock>(both) && std::holds_alternative<Shock>(alone));
            EXPECT_EQ(std::get<Shock>(both).beta, std::get<Shock>(alone).beta);
            EXPECT_EQ(std::get<Shock>(both).p02p01, std::get<Shock>(alone).p02p01);
            EXPECT_EQ(together.thetaMax, apart.thetaMax);
            EXPECT_EQ(together.betaMax, apart.betaMax);
            EXPECT_EQ(together.thetaSonic, apart.thetaSonic);
            EXPECT_EQ(together.mu, apart.mu);
        }
        ShockLimits fromBeta;
        const auto byAngle = shockFromAngle(gas, c.M1, c.beta, fromBeta);
        ASSERT_TRUE(std::holds_alternative<Shock>(byAngle));
        EXPECT_EQ(std::get<Shock>(byAngle).M2, std::get<Shock>(shockFromAngle(gas, c.M1, c.beta)).M2);
        EXPECT_EQ(fromBeta.betaSonic, apart.betaSonic);
    }
}

// Where long double is software (the page) shocks are worked in double-double; elsewhere long
// double goes first and double-double decides whatever long double's error bounds leave unsure.
// So the two give the same bits: on both branches, from beta, with the limits, over gases and
// Mach numbers, on a grid and at random (a bound drawn too tight shows here as a difference);
// and the double-double tangent they start from holds to long double's.
TEST(Shock, DoubleDoubleGivesTheSameBitsAsLongDouble)
{
    int compared = 0;
    int differing = 0;
    const auto same = [&](const Shock& d, const Shock& l, const ShockLimits& dl, const ShockLimits& ll,
                          const std::string& what) {
        ++compared;
        const double a[] = {d.theta, d.beta, d.M2, d.Mn1, d.Mn2, d.p2p1, d.rho2rho1, d.T2T1, d.p02p01,
                            dl.mu, dl.thetaMax, dl.betaMax, dl.thetaSonic, dl.betaSonic};
        const double b[] = {l.theta, l.beta, l.M2, l.Mn1, l.Mn2, l.p2p1, l.rho2rho1, l.T2T1, l.p02p01,
                            ll.mu, ll.thetaMax, ll.betaMax, ll.thetaSonic, ll.betaSonic};
        for (std::size_t i = 0; i < std::size(a); ++i) {
            if (a[i] != b[i] && ++differing <= 5)
                ADD_FAILURE() << what << ": value " << i << " is " << a[i] << " in double-double, " << b[i];
        }
        EXPECT_EQ(d.strong, l.strong) << what;
    };
    const auto both = [&](const Gas& gas, double M1, double theta, Branch branch) {
        ShockLimits dl;
        ShockLimits ll;
        const auto a = shockFromDeflectionInDoubleDouble(gas, M1, theta, branch, dl);
        const auto b = shockFromDeflection(gas, M1, theta, branch, ll);
        ASSERT_EQ(a.index(), b.index());
        if (a.index() == 0)
            same(std::get<Shock>(a), std::get<Shock>(b), dl, ll, testing::PrintToString(std::tuple{gas.gamma(), M1, theta}));
    };
    const auto fromBeta = [&](const Gas& gas, double M1, double beta) {
        const auto a = shockFromAngleInDoubleDouble(gas, M1, beta);
        const auto b = shockFromAngle(gas, M1, beta);
        ASSERT_EQ(a.index(), b.index());
        if (a.index() == 0)
            same(std::get<Shock>(a), std::get<Shock>(b), {}, {}, testing::PrintToString(std::tuple{gas.gamma(), M1, beta}));
    };
    std::mt19937_64 draw(22);
    std::uniform_real_distribution<double> unit(0, 1);
    for (double gamma : {1.4, 5.0 / 3, 1.3, 1.1, 1.0001, 7.0}) {
        const Gas gas(gamma);
        for (double M1 : {1.02, 1.5, 2.0, 3.7, 8.0, 40.0, 1e4}) {
            const ShockLimits apart = shockLimits(gas, M1);
            for (double share : {0.0, 0.01, 0.3, 0.7, 0.95}) {
                for (Branch branch : {Branch::Weak, Branch::Strong})
                    both(gas, M1, share * apart.thetaMax, branch);
                fromBeta(gas, M1, apart.mu + share * (90 - apart.mu));
            }
        }
        for (int i = 0; i < 10000; ++i) {
            const double M1 = unit(draw) < 0.1 ? 1 + unit(draw) / 2 : unit(draw) < 0.1 ? std::pow(10, 1 + 3 * unit(draw))
                                                                                    : 1.5 + 3.5 * unit(draw);
            const ShockLimits apart = shockLimits(gas, M1);
            both(gas, M1, std::floor(unit(draw) * apart.thetaMax * 1e4) / 1e4,
                 unit(draw) < 0.2 ? Branch::Strong : Branch::Weak);
            fromBeta(gas, M1, apart.mu + unit(draw) * (90 - apart.mu));
        }
    }
    EXPECT_EQ(differing, 0) << "of " << compared << " shocks";
    const long double perRadian = 45 / std::atan(1.0L);
    for (double degrees = 1e-25; degrees < 90; degrees = degrees < 1e-3 ? degrees * 7 : degrees + 0.37) {
        const dd::Wide t = tangentOfDegrees(degrees);
        // Beyond 45 degrees from the complement, exact in degrees, as long double's own radians
        // would be too coarse near 90.
        const long double exact = degrees > 45 ? 1 / std::tan((90 - degrees) / perRadian) : std::tan(degrees / perRadian);
        EXPECT_LE(std::fabs((static_cast<long double>(t.hi) + t.lo - exact) / exact), 0x1p-60L) << degrees;
    }
}

// Many shocks at once are each shock alone, bit for bit, with their limits and refusals: near
// M = 1 and the Mach wave, near and past thetaMax, at large M1, for air (which the lanes work
// where the machine has them) and another gas; and the lanes decide nearly every usual case.
TEST(Shock, ManyShocksAtOnceAreEachShockAlone)
{
    std::mt19937_64 draw(41);
    std::uniform_real_distribution<double> unit(0, 1);
    constexpr std::size_t kCases = 100003;  // not a whole number of blocks or of eights
    std::vector<double> M1(kCases), theta(kCases);
    for (std::size_t i = 0; i < kCases; ++i) {
        M1[i] = i % 5 == 0 ? 1 + std::pow(10, -6 + 6 * unit(draw)) : i % 11 == 0 ? std::pow(10, 1 + 4 * unit(draw))
                                                                                  : 1.2 + 4 * unit(draw);
        const double thetaMax = shockLimits(Gas::air(), M1[i]).thetaMax;
        theta[i] = i % 7 == 0   ? thetaMax * (1 - std::pow(10, -14 * unit(draw)))
                   : i % 13 == 0 ? std::pow(10, -9 + 10 * unit(draw))
                   : i % 17 == 0 ? (unit(draw) < 0.5 ? 0.0 : thetaMax + unit(draw))
                                 : std::floor(unit(draw) * thetaMax * 1e4) / 1e4;
    }
    for (double gamma : {1.4, 1.3}) {
        const Gas gas(gamma);
        std::vector<LimitedShock> many(kCases);
        shocksFromDeflections(gas, M1, theta, many);
        int differing = 0;
        for (std::size_t i = 0; i < kCases; ++i) {
            ShockLimits limits;
            const auto alone = shockFromDeflection(gas, M1[i], theta[i], Branch::Weak, limits);
            bool same = alone.index() == many[i].shock.index() &&
                        std::memcmp(&limits, &many[i].limits, sizeof limits) == 0;
            if (same && alone.index() == 0) {
                const Shock& a = std::get<Shock>(alone);
                const Shock& b = std::get<Shock>(many[i].shock);
                const double x[] = {a.beta, a.Mn1, a.Mn2, a.M2, a.p2p1, a.rho2rho1, a.T2T1, a.p02p01, a.M1, a.theta};
                const double y[] = {b.beta, b.Mn1, b.Mn2, b.M2, b.p2p1, b.rho2rho1, b.T2T1, b.p02p01, b.M1, b.theta};
                same = std::memcmp(x, y, sizeof x) == 0 && a.strong == b.strong && a.gamma == b.gamma;
            } else if (same) {
                same = std::get<WaveProblem>(alone).kind == std::get<WaveProblem>(many[i].shock).kind &&
                       std::get<WaveProblem>(alone).high == std::get<WaveProblem>(many[i].shock).high;
            }
            if (!same && ++differing <= 5)
                ADD_FAILURE() << "gamma " << gamma << ", M1 " << testing::PrintToString(M1[i]) << ", theta "
                              << testing::PrintToString(theta[i]);
        }
        EXPECT_EQ(differing, 0) << "of " << kCases << " shocks, gamma " << gamma;
    }
    if (!manyAtOnceInLanes())
        GTEST_SKIP() << "no lanes in this build or on this processor";
    std::vector<double> usualM(kCases), usualTheta(kCases);
    for (std::size_t i = 0; i < kCases; ++i) {
        usualM[i] = 1.5 + 3.5 * unit(draw);
        usualTheta[i] = 0.9 * shockLimits(Gas::air(), usualM[i]).thetaMax * unit(draw);
    }
    std::vector<LimitedShock> out(kCases);
    auto solved = std::make_unique<bool[]>(kCases);
    shocksInLanes(Gas::air(), usualM.data(), usualTheta.data(), kCases, out.data(), solved.get());
    EXPECT_GT(std::count(&solved[0], &solved[0] + kCases, true), 0.999 * kCases);
}

// Corners: a convex corner is the fan, a concave one the shock, in the order given; and a turn
// and its reverse isentropically give back the start.
TEST(Corners, EachWayAndInOrder)
{
    const double turns[] = {10, -5, 8};
    const auto solved = solveCorners(Gas::air(), 3, turns);
    ASSERT_TRUE(std::holds_alternative<CornerFlow>(solved));
    const CornerFlow& f = std::get<CornerFlow>(solved);
    ASSERT_EQ(f.waves.size(), 3u);
    EXPECT_EQ(f.waves[0].kind, CornerWave::Kind::Fan);
    EXPECT_EQ(f.waves[1].kind, CornerWave::Kind::Shock);
    EXPECT_NEAR(f.regions.back().direction, 13, 1e-13);
    EXPECT_LT(f.regions.back().p0Ratio, 1);
    EXPECT_EQ(f.regions[2].p0Ratio, f.waves[1].p02p01);
    const double there[] = {12, -12};
    const auto back = solveCorners(Gas::air(), 2.2, there, Compression::Isentropic);
    ASSERT_TRUE(std::holds_alternative<CornerFlow>(back));
    EXPECT_NEAR(std::get<CornerFlow>(back).regions.back().M, 2.2, 1e-14);
    EXPECT_NEAR(std::get<CornerFlow>(back).regions.back().pRatio, 1, 1e-14);
    const double vacuum[] = {100};
    const auto none = solveCorners(Gas::air(), 3, vacuum);
    ASSERT_TRUE(std::holds_alternative<CornerProblem>(none));
    EXPECT_EQ(std::get<CornerProblem>(none).problem.kind, WaveProblem::Kind::Vacuum);
}

// Each corner's wave is the lone wave from the region ahead of it, to the bit, however the row
// carries one fan's state into the next; and a row refused is refused as that wave is.
TEST(Corners, EachWaveIsTheLoneWaveFromTheRegionAhead)
{
    const ShockLimits nearCrest = shockLimits(Gas::air(), 1.5);
    const double subsonic = (nearCrest.thetaSonic + nearCrest.thetaMax) / 2;  // M2 < 1 behind it
    struct Case { double gamma, M1; std::vector<double> turns; };
    const std::vector<Case> cases = {
        {1.4, 2.5, {3, 2.5, 2.5, 0, 2.5, -4, 1.5, 1.5, -2, 7}},
        {1.4, 1.02, {0.1, 0.2, 60, 0.3}},
        {5.0 / 3, 3, {-10, 5, 5, 5, -3, -3, 20}},
        {1.2, 6, {1e-9, 2, -1e-9, 30, 30}},
        {1.4, 3, {10, 10, 10, 10, 10, 10, 10}},  // past nuMax on the way
        {1.4, 1.5, {-subsonic, 5}},              // a fan behind a subsonic shock
        {1.4, 2, {5, std::nan("")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.gamma << " " << c.M1 << " " << c.turns.size());
        const Gas gas(c.gamma);
        const auto row = solveCorners(gas, c.M1, c.turns);
        const std::vector<Region>* regions = nullptr;
        const std::vector<CornerWave>* waves = nullptr;
        if (const auto* f = std::get_if<CornerFlow>(&row)) {
            regions = &f->regions;
            waves = &f->waves;
        }
        double M = c.M1;
        bool refusedOnTheWay = false;
        for (std::size_t i = 0; i < c.turns.size() && !refusedOnTheWay; ++i) {
            const double turn = c.turns[i];
            bool refused = false;
            if (turn < 0) {
                const auto lone = shockFromDeflection(gas, M, -turn);
                if (const auto* s = std::get_if<Shock>(&lone)) {
                    if (waves) {  // else a later corner refuses the row
                        EXPECT_EQ((*waves)[i].beta, s->beta) << i;
                        EXPECT_EQ((*waves)[i].p2p1, s->p2p1) << i;
                        EXPECT_EQ((*waves)[i].p02p01, s->p02p01) << i;
                    }
                    M = s->M2;
                } else {
                    refused = true;
                }
            } else {
                const auto lone = solveFan(gas, Given{By::Mach, M}, std::nullopt, turn);
                if (const auto* f = std::get_if<Fan>(&lone)) {
                    if (waves) {
                        EXPECT_EQ((*waves)[i].firstMachLine, f->forwardMachLine) << i;
                        EXPECT_EQ((*waves)[i].lastMachLine, f->rearwardMachLine) << i;
                        EXPECT_EQ((*waves)[i].p2p1, f->p2p1) << i;
                        EXPECT_EQ((*waves)[i].T2T1, f->T2T1) << i;
                        EXPECT_EQ((*waves)[i].rho2rho1, f->rho2rho1) << i;
                    }
                    M = f->downstream.M;
                } else {
                    const Problem& p = std::get<Problem>(lone);
                    ASSERT_TRUE(std::holds_alternative<CornerProblem>(row)) << i;
                    const CornerProblem& q = std::get<CornerProblem>(row);
                    EXPECT_EQ(q.corner, i + 1);
                    EXPECT_EQ(q.problem.low, p.low);
                    EXPECT_EQ(q.problem.high, p.high);
                    EXPECT_EQ(q.problem.kind, !std::isfinite(turn) ? WaveProblem::Kind::NotFinite
                                              : turn > 0           ? WaveProblem::Kind::Vacuum
                                                                   : WaveProblem::Kind::BelowSonic);
                    refused = true;
                }
            }
            if (refused) {
                ASSERT_TRUE(std::holds_alternative<CornerProblem>(row)) << i;
                EXPECT_EQ(std::get<CornerProblem>(row).corner, i + 1);
                refusedOnTheWay = true;
            } else if (regions) {
                EXPECT_EQ((*regions)[i + 1].M, M) << i;
            }
        }
        EXPECT_EQ(std::holds_alternative<CornerFlow>(row), !refusedOnTheWay);
    }
}

}  // namespace
}  // namespace velhorn::flow

namespace velhorn::bodies {
namespace {

// Ackeret's flat plate, cl = 4 alpha / sqrt(M^2 - 1) and cd = alpha cl, is the small-alpha limit
// of the exact solution; a symmetric diamond at no incidence has no lift, a wave drag near the
// linear 4 (t/c)^2 / sqrt(M^2 - 1) for a thin one, and its centre of pressure follows its crest.
// A body's angles, from arithmetic every build rounds alike: a direction is the nearest double
// wherever long double can tell, and sin and cos within an ulp, every quadrant, up to 90 degrees.
TEST(Body, AnglesKeepTheLastBits)
{
    std::uint64_t seed = 5;
    const auto uniform = [&] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(seed >> 11) * 0x1p-53;
    };
    const auto ulp = [](double x) { return std::nextafter(std::fabs(x), INFINITY) - std::fabs(x); };
    const long double perRadian = 45 / std::atan(1.0L);
    int wrongDirections = 0, looseSinCos = 0;
    for (int i = 0; i < 10000; ++i) {
        const double dx = (2 * uniform() - 1) * std::pow(10.0, -3 + 6 * uniform());
        const double dy = (2 * uniform() - 1) * std::pow(10.0, -3 + 6 * uniform());
        const long double exact = std::atan2(static_cast<long double>(dy), static_cast<long double>(dx)) * perRadian;
        const double nearest = static_cast<double>(exact);
        if (std::fabs(static_cast<double>(exact - nearest)) < 0.49 * ulp(nearest))
            wrongDirections += flow::directionDegrees(dx, dy) != nearest;
        const double degrees = 180 * uniform() - 90;
        const auto [sine, cosine] = flow::sinCosDegrees(degrees);
        // Near 90 degrees cos is taken as the sine of the complement, exact in degrees, as long
        // double's own radians would be too coarse there.
        const long double radians = degrees / perRadian;
        const long double complement = (90 - std::fabs(degrees)) / perRadian;
        const long double exactCos = std::fabs(degrees) > 45 ? std::sin(complement) : std::cos(radians);
        looseSinCos += std::fabs(sine - static_cast<double>(std::sin(radians))) > ulp(sine) ||
                       std::fabs(cosine - static_cast<double>(exactCos)) > ulp(cosine);
    }
    EXPECT_EQ(wrongDirections, 0);
    EXPECT_EQ(looseSinCos, 0);
    // The page's window takes atan's nearest double (glibc's atan misses it in a few hard cases
    // in 10^4): over the window's arguments, s and s / lambda for M from 1 to 10^9.
    int wrongArctangents = 0;
    for (int i = 0; i < 200000; ++i) {
        const double x = std::pow(10.0, -8 + 17 * uniform());
        const long double exact = std::atan(static_cast<long double>(x));
        const double nearest = static_cast<double>(exact);
        if (std::fabs(static_cast<double>(exact - nearest)) < 0.49 * ulp(nearest))
            wrongArctangents += flow::nearestArctan(x) != nearest;
    }
    EXPECT_EQ(wrongArctangents, 0);
    // Every other quadrant and turn is the first one's, signs aside (angles exact in binary).
    for (int i = 0; i < 2000; ++i) {
        const double d = std::ldexp(std::floor(uniform() * 0x1p26), -26) * 90;
        const auto [s, c] = flow::sinCosDegrees(d);
        const std::pair<double, std::pair<double, double>> others[] = {
            {-d, {-s, c}}, {180 - d, {s, -c}}, {d - 180, {-s, -c}}, {d + 360, {s, c}}, {d - 720, {s, c}}};
        for (const auto& [angle, expected] : others) {
            const auto [os, oc] = flow::sinCosDegrees(angle);
            ASSERT_EQ(os, expected.first) << angle;
            ASSERT_EQ(oc, expected.second) << angle;
        }
    }
    EXPECT_EQ(flow::directionDegrees(-1, 0), 180);
    EXPECT_EQ(flow::directionDegrees(0, -2), -90);
    EXPECT_EQ(flow::sinCosDegrees(90).sin, 1);
}

TEST(Body, LimitsOfTheLinearTheory)
{
    const flow::Gas& air = flow::Gas::air();
    for (double M : {1.5, 2.0, 3.0, 5.0}) {
        const double alpha = 0.01;
        const auto plate = std::get<BodyFlow>(solveBody(air, flatPlate(), M, alpha));
        const double a = alpha * std::atan(1.0) / 45, root = std::sqrt(M * M - 1);
        EXPECT_NEAR(plate.exact.cl / (4 * a / root), 1, 1e-3) << M;
        EXPECT_NEAR(plate.exact.cd / (a * plate.exact.cl), 1, 1e-3) << M;
        EXPECT_NEAR(plate.exact.centreOfPressure, 0.5, 1e-12) << M;
        EXPECT_NEAR(plate.exact.cmQuarterChord, -plate.exact.cl / 4 * std::cos(a), 1e-6) << M;
        const auto thin = std::get<BodyFlow>(solveBody(air, std::get<Shape>(diamond(0.002, 0.5)), M, 0));
        EXPECT_NEAR(thin.exact.cl, 0, 1e-15) << M;
        EXPECT_NEAR(thin.exact.cd / (4 * 0.002 * 0.002 / root), 1, 2e-2) << M;
    }
}

TEST(Body, RefusalsNameWhatWorks)
{
    const flow::Gas& air = flow::Gas::air();
    const auto steep = solveBody(air, flatPlate(), 3, 40);
    ASSERT_TRUE(std::holds_alternative<BodyProblem>(steep));
    const BodyProblem& p = std::get<BodyProblem>(steep);
    EXPECT_EQ(p.problem.kind, flow::WaveProblem::Kind::Detached);
    ASSERT_TRUE(p.alphaHigh && p.alphaLow);
    EXPECT_NEAR(*p.alphaHigh, 34.0734, 1e-4);  // the plate's lower side turns the flow by alpha
    EXPECT_NEAR(*p.alphaLow, -34.0734, 1e-4);
    ASSERT_TRUE(p.leastMach.has_value());
    EXPECT_NEAR(flow::shockLimits(air, *p.leastMach).thetaMax, 40, 1e-9);
    for (const auto& outline : std::vector<std::vector<Point>>{
             {{0, 0}, {0, 1}, {1, 1}, {1, 0}},            // blunt: a flat face forward
             {{0, 0}, {1, 1}, {1, -1}, {0.5, 1}},          // crossing itself
             {{0, 0}, {0.5, 0.2}, {0.3, 0.3}, {1, 0}, {0.5, -0.1}}}) {  // a surface turning back
        EXPECT_TRUE(std::holds_alternative<std::string>(polygon(outline)));
    }
    const auto square = polygon({{3, 1}, {4, 2}, {5, 1}, {4, 0}});  // a diamond of t = 1 turned into chord axes
    ASSERT_TRUE(std::holds_alternative<Shape>(square));
    EXPECT_NEAR(std::get<Shape>(square).upper[1].y, 0.5, 1e-15);
    EXPECT_NEAR(std::get<Shape>(square).upper.back().x, 1, 1e-15);
}

// Region labels never sit on one another: along each surface the last region is labelled, and a
// label placed just before it gives way.
TEST(Body, LabelsOfTheRegionsStandApart)
{
    const flow::Gas& air = flow::Gas::air();
    for (int facets : {2, 5, 8, 13, 20}) {
        const Shape shape = std::get<Shape>(biconvex(0.1, facets));
        const auto body = std::get<BodyFlow>(solveBody(air, shape, 2.5, 4));
        const Drawing d = drawBody(air, shape, body);
        // A label's two lines take about 0.2 by 0.08 chords where the page and the SVG draw them.
        for (std::size_t i = 0; i < d.labels.size(); ++i)
            for (std::size_t j = i + 1; j < d.labels.size(); ++j) {
                const bool overlap = std::fabs(d.labels[i].at.x - d.labels[j].at.x) < 0.2 &&
                                     std::fabs(d.labels[i].at.y - d.labels[j].at.y) < 0.08;
                EXPECT_FALSE(overlap) << facets << " facets, labels " << i << " and " << j;
            }
    }
}

}  // namespace
}  // namespace velhorn::bodies
