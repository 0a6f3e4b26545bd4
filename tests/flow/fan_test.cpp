#include "flow/double_double.h"
#include "flow/expansion_fan.h"
#include "flow/fan_lanes.h"
#include "flow/shock_lanes.h"
#include "flow/full_precision_fan.h"
#include "flow/long_double_arctan.h"
#include "flow/solve.h"

#include <gtest/gtest.h>
// GCC's own library; clang (the sanitizer build) does not see its header, and skips that test.
#if __has_include(<quadmath.h>)
#include <quadmath.h>
#define VELHORN_QUAD 1
#endif

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

namespace velhorn::flow {
namespace {

// How many doubles lie between a and b.
double ulpsApart(double a, double b)
{
    return std::fabs(a - b) / (std::nextafter(std::fabs(b), INFINITY) - std::fabs(b));
}

TEST(Gas, AirKeepsTheWindowsLiteralConstants)
{
    const Gas air(1.4);
    EXPECT_EQ(air.lambda(), std::sqrt(6.0));
    EXPECT_EQ(air.halfGammaMinusOne(), 0.2);
    EXPECT_EQ(air.gammaOverGammaMinusOne(), 3.5);
    // Computed from 1.4 these would each be off in the last bit.
    const ExpansionFan window;
    const ExpansionFan fromGamma{Gas(1.4)};
    for (double M : {1.0, 1.5, 2.0, 7.3, 1e6}) {
        double a = 0, b = 0;
        window.Nu_için_hesap(M, a);
        fromGamma.Nu_için_hesap(M, b);
        EXPECT_EQ(a, b) << M;
        EXPECT_EQ(window.invert(a + 3).M, fromGamma.invert(b + 3).M) << M;
    }
}

TEST(Gas, RefusesWhatIsNoRatioOfSpecificHeats)
{
    for (double gamma : {1.0, 0.5, -3.0, 0.0, std::numeric_limits<double>::quiet_NaN(),
                         std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW(Gas{gamma}, std::invalid_argument) << gamma;
    }
    EXPECT_NO_THROW(Gas{1 + 1e-12});
}

// Evaluated with mpmath at 30 digits (60, and 360 for gamma = 1e300, where lambda - 1 is 1e-300)
// from the same doubles (gamma, M) the program receives; gamma = 5/3 also has closed forms:
// nu(sqrt 2) = 2 atan(1/2) - 45 deg, p/p0 at M = 3 is 1/32. Near gamma = 1, p/p0 raises
// T/T0 = 1/(1 + 5e-8 M^2) to the power 1e7; for a large gamma, nu is a difference of order 1/gamma.
TEST(Fan, ReferenceValuesForOtherGases)
{
    struct Case { double gamma, M, nu, mu, pOverP0; };
    const std::vector<Case> cases = {
        {5.0 / 3, 1.05, 0.43649044635131899, 72.247209838053309, 0.45727942655095295},
        {5.0 / 3, 1.4142135623730951, 8.1301023541559807, 44.999999999999996, 0.27885480092693397},
        {5.0 / 3, 3.0, 38.94244126898138, 19.471220634490691, 0.031250000000000001},
        {5.0 / 3, 10.0, 73.008309550640188, 5.7391704772667863, 0.00014478050096796598},
        {1.2, 1.05, 0.53414967524441168, 72.247209838053309, 0.53391891765909599},
        {1.2, 2.0, 31.456086831800127, 30.0, 0.13281030862990761},
        {1.2, 10.0, 153.09359333421655, 5.7391704772667863, 5.6447393005377661e-7},
        {1.3, 1.5, 12.692849482155763, 41.810314895778598, 0.28361350494971078},
        {1.3, 3.0, 55.758416895313603, 19.471220634490691, 0.024662622958252915},
        {1.0000001, 1.05, 0.59080953185763007, 72.247209838053309, 0.57622905066229873},
        {1.0000001, 3.1844540294287866, 101.52813593518444, 18.301998528682106, 0.0062800775215911457},
        {1.0000001, 20.0, 1057.3406726732386, 2.865983982598862, 1.3866393196673586e-87},
        {1e6, 2.0, 3.519019869377418e-5, 30.0, 4.9999299571324939e-7},
        {1e16, 2.0, 3.5190199706019358e-15, 30.0, 4.9999999999999815e-17},
        {1e300, 10.0, 7.8559971441258434e-299, 5.7391704772667863, 1.9999999999999999e-302},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "gamma " << c.gamma << ", M " << c.M);
        const Gas gas(c.gamma);
        const State s = stateAt(gas, c.M);
        EXPECT_LE(ulpsApart(s.nu, c.nu), 1);
        EXPECT_LE(ulpsApart(s.mu, c.mu), 1);
        EXPECT_LE(ulpsApart(s.pOverP0, c.pOverP0), 4);
        const auto M = machFromNu(gas, c.nu);
        ASSERT_TRUE(M);
        EXPECT_LE(ulpsApart(*M, c.M), 2);
    }
    EXPECT_LE(ulpsApart(nuMaxDegrees(Gas(5.0 / 3)), 89.999999999999993), 1);
    EXPECT_LE(ulpsApart(nuMaxDegrees(Gas(1.2)), 208.49623113198602), 1);
    EXPECT_LE(ulpsApart(nuMaxDegrees(Gas(1e6)), 9.0000045000045e-5), 1);
    EXPECT_LE(ulpsApart(nuMaxDegrees(Gas(1e16)), 9.0000000000000004e-15), 1);
}

TEST(Fan, InverseReachesTheTargetToTheLastBits)
{
    for (double gamma : {1.4, 5.0 / 3, 1.2, 1.001}) {
        const Gas gas(gamma);
        for (double M = 1 + 1e-9; M < 1e7; M *= 1.7) {
            SCOPED_TRACE(testing::Message() << "gamma " << gamma << ", M " << M);
            const double target = nuDegrees(gas, M);
            const auto found = machFromNu(gas, target);
            ASSERT_TRUE(found);
            // What one step of M moves nu by: no double M can do better than that.
            const double quantum = nuDegrees(gas, std::nextafter(*found, INFINITY)) - nuDegrees(gas, *found);
            const double ulp = std::nextafter(target, INFINITY) - target;
            EXPECT_LE(std::fabs(nuDegrees(gas, *found) - target), quantum + 4 * ulp);
        }
    }
}

#ifdef VELHORN_QUAD
// Against quad precision (libquadmath, 113 bits): every value is the double nearest to the
// exact one. Where the exact value lies within 2^-8 ulp of a midpoint between two doubles, the
// long double evaluation decides and is held to one ulp; those cases are few, and counted.
namespace quad {

using Quad = __float128;
const Quad kPi = 4 * atanq(1);

struct Exact {
    Quad lambda, k, pressurePower, densityPower;
};

Exact exactGas(double gamma)
{
    const Quad g = gamma == 1.4 ? Quad(7) / 5 : Quad(gamma);
    return {sqrtq((g + 1) / (g - 1)), (g - 1) / 2, g / (g - 1), 1 / (g - 1)};
}

Quad nuOf(const Exact& e, Quad M)
{
    const Quad s = sqrtq((M - 1) * (M + 1));
    return (e.lambda * atanq(s / e.lambda) - atanq(s)) * 180 / kPi;
}

// Whether `value` is the double nearest to `exact`; where `exact` lies near a midpoint, whether
// it is one of the two doubles round it.
// Held to one ulp (`loose`) where asked. The inverse is held to the nearest
// double from M = 1.05 to 10 only: beyond, it magnifies nu's last bits by nu / (M dnu/dM), a
// thousand at M = 5000, and InverseReachesTheTargetToTheLastBits holds it there.
struct Check {
    bool loose = false;
    double margin = 0x1p-8;  // from a midpoint, in ulps
    int count = 0;
    int nearMidpoint = 0;
    int wrong = 0;
    void operator()(double value, Quad exact, bool looseHere = false)
    {
        const bool loose = this->loose || looseHere;
        const double nearest = static_cast<double>(exact);
        const double ulp = std::nextafter(std::fabs(nearest), INFINITY) - std::fabs(nearest);
        const double fromMidpoint = 0.5 - static_cast<double>(fabsq(exact - nearest)) / ulp;
        ++count;
        if (loose || fromMidpoint < margin) {
            nearMidpoint += !loose;
            wrong += std::fabs(value - nearest) > ulp;
        } else {
            wrong += value != nearest;
        }
    }
};

}  // namespace quad

// The double-double arctangent decides the last bit wherever long double cannot, and goes first
// in the page: held to its stated bound over quotients from 1e-12 to 1e12, both ways of 1.
TEST(DoubleDouble, ArctangentOfAQuotientKeepsItsBound)
{
    std::uint64_t seed = 777;
    const auto uniform = [&] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(seed >> 11) * 0x1p-53;
    };
    for (int i = 0; i < 20000; ++i) {
        const double n = std::pow(10.0, -12 + 24 * uniform());
        const double d = i % 2 == 0 ? 1.0 : std::pow(10.0, -3 + 6 * uniform());
        const velhorn::flow::dd::Wide a = velhorn::flow::dd::arctanOfQuotient({n, 0}, {d, 0});
        const quad::Quad exact = atanq(quad::Quad(n) / quad::Quad(d));
        const double error = static_cast<double>(fabsq(quad::Quad(a.hi) + quad::Quad(a.lo) - exact) / exact);
        ASSERT_LE(error, velhorn::flow::dd::kArctanError) << n << " / " << d;
    }
}

TEST(Fan, EveryValueIsTheNearestDoubleToTheExactOne)
{
    using quad::Quad;
    std::uint64_t seed = 12345;
    const auto uniform = [&] {  // a 64-bit linear congruential generator's top 53 bits
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(seed >> 11) * 0x1p-53;
    };
    for (double gamma : {1.4, 5.0 / 3, 1.2, 1.3}) {
        SCOPED_TRACE(testing::Message() << "gamma " << gamma);
        const Gas gas(gamma);
        const quad::Exact e = quad::exactGas(gamma);
        // nu, mu and the inverse are decided in double-double too, unless within about 2^-20
        // ulp (nearer M = 1, where nu's terms cancel); air's ratios unless within 2^-38 ulp.
        quad::Check nu{false, 0x1p-12}, mu{false, 0x1p-12}, inverse{false, 0x1p-12}, T;
        // Other gases' ratios: long double unless too near a midpoint, then quad.
        quad::Check p{false, 0x1p-12}, rho{false, 0x1p-12}, across{false, 0x1p-12};
        constexpr int kCases = 20000;
        for (int i = 0; i < kCases; ++i) {
            // M from 1 + 1e-3 to 1e4, spread evenly in log(M - 1).
            const double M = 1 + std::pow(10.0, -3 + 7 * uniform());
            const State s = stateAt(gas, M);
            const Quad MQ = M;
            const Quad stagnation = 1 + e.k * MQ * MQ;
            nu(s.nu, quad::nuOf(e, MQ));
            mu(s.mu, atan2q(1, sqrtq((MQ - 1) * (MQ + 1))) * 180 / quad::kPi);
            T(s.TOverT0, 1 / stagnation);
            p(s.pOverP0, powq(1 / stagnation, e.pressurePower));
            rho(s.rhoOverRho0, powq(1 / stagnation, e.densityPower));
            // Across a fan to a second Mach number up to twice the first.
            const double M2 = M * (1 + uniform());
            const Fan f = fanBetween(gas, s, stateAt(gas, M2));
            const Quad ratio = stagnation / (1 + e.k * Quad(M2) * Quad(M2));
            across(f.T2T1, ratio);
            across(f.p2p1, powq(ratio, e.pressurePower));
            across(f.rho2rho1, powq(ratio, e.densityPower));
            // The inverse: the root of nu(M) = target, by Newton's method in quad from the M
            // whose nu rounds to the target.
            if (M < 1.05 || M > 10)
                continue;
            const double target = s.nu;
            const auto found = machFromNu(gas, target);
            ASSERT_TRUE(found);
            Quad root = M;
            for (int pass = 0; pass < 6; ++pass) {
                const Quad step = Quad(1e-20) * root;
                const Quad slope = (quad::nuOf(e, root + step) - quad::nuOf(e, root - step)) / (2 * step);
                root -= (quad::nuOf(e, root) - target) / slope;
            }
            inverse(*found, root);
        }
        const std::pair<const char*, const quad::Check*> checks[] = {
            {"nu", &nu}, {"mu", &mu}, {"T/T0", &T}, {"p/p0", &p}, {"rho/rho0", &rho}, {"across", &across},
            {"inverse", &inverse}};
        for (const auto& [name, check] : checks) {
            EXPECT_EQ(check->wrong, 0) << name;
            if (!check->loose) {
                EXPECT_LT(check->nearMidpoint, check->count * check->margin * 4) << name;  // expected: 2 margins
            }
        }
    }
}
// Air's ratios are decided in long double first one case at a time, and in the lanes'
// double-double many at a time; a bound set too tight in either gives a wrong last bit only near a
// midpoint, so many cases: every ratio of states and of fans, by both paths, is the nearest double.
TEST(Fan, AirRatiosAreTheNearestDoublesEitherWay)
{
    using quad::Quad;
    std::uint64_t seed = 4242;
    const auto uniform = [&] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(seed >> 11) * 0x1p-53;
    };
    constexpr std::size_t kCases = 60000;
    std::vector<double> M1(kCases), theta(kCases);
    for (std::size_t i = 0; i < kCases; ++i) {
        M1[i] = 1 + std::pow(10.0, -3 + 4 * uniform());
        theta[i] = 40 * uniform();
    }
    const Gas& air = Gas::air();
    std::vector<std::variant<State, Problem>> states(kCases);
    std::vector<std::variant<Fan, Problem>> fans(kCases);
    tableStates(air, By::Mach, M1, states);
    solveFans(air, M1, theta, fans);
    const auto powers = [](Quad T) { return std::pair{powq(T, Quad(7) / 2), powq(T, Quad(5) / 2)}; };
    quad::Check check{false, 0x1p-40};
    for (std::size_t i = 0; i < kCases; ++i) {
        const Quad T1 = 5 / (5 + Quad(M1[i]) * Quad(M1[i]));
        const auto [p1, rho1] = powers(T1);
        for (const State& s : {stateAt(air, M1[i]), std::get<State>(states[i])}) {
            check(s.TOverT0, T1);
            check(s.pOverP0, p1);
            check(s.rhoOverRho0, rho1);
        }
        const auto* f = std::get_if<Fan>(&fans[i]);
        if (!f)
            continue;
        const Quad M2 = f->downstream.M;
        const Quad across = (5 + Quad(M1[i]) * Quad(M1[i])) / (5 + M2 * M2);
        const auto [p21, rho21] = powers(across);
        const Fan alone = fanBetween(air, stateAt(air, M1[i]), stateAt(air, f->downstream.M));
        for (const Fan* g : {f, &alone}) {
            check(g->T2T1, across);
            check(g->p2p1, p21);
            check(g->rho2rho1, rho21);
        }
    }
    EXPECT_EQ(check.wrong, 0);
    EXPECT_GT(check.count, 700000);
}

// The long double arctangent of fans and shocks. A wrong table point or series would only send
// more values on to double-double, which hides it from every result; here it is held to about
// two of its epsilons, which the decisions' bounds assume, over every table interval, the ratio
// either way up, and small arguments.
TEST(Arctangent, TableAndSeriesKeepTheirBound)
{
    if constexpr (!dd::kLongDoubleInHardware)
        GTEST_SKIP() << "the table serves the x87's long double only";
    double worst = 0;
    for (int i = 1; i <= 100000; ++i) {
        const long double t = i / 100000.0L + 1e-7L / i;
        for (const auto& [y, x] : {std::pair{t, 1.0L}, {1.0L, t}, {3 * t, 3.0L}, {t * 1e-6L, 1.0L}}) {
            const long double got = arctanOfQuotient(y, x);
            const quad::Quad exact = atan2q(y, x);
            worst = std::max(worst, static_cast<double>(fabsq((got - exact) / exact)) / 0x1p-64);
        }
    }
    EXPECT_LE(worst, 4);
}
#endif

TEST(Solve, EveryPairOfGivensGivesTheSameFan)
{
    const Gas gas(1.3);
    const Fan ref = std::get<Fan>(solveFan(gas, Given{By::Mach, 2}, std::nullopt, 15.0));
    const double M2 = ref.downstream.M;
    const std::vector<std::variant<Fan, Problem>> others = {
        solveFan(gas, std::nullopt, Given{By::Mach, M2}, 15.0),
        solveFan(gas, Given{By::Mach, 2}, Given{By::Mach, M2}, std::nullopt),
        solveFan(gas, Given{By::Nu, ref.upstream.nu}, std::nullopt, 15.0),
        solveFan(gas, Given{By::Mu, ref.upstream.mu}, Given{By::Mu, ref.downstream.mu}, std::nullopt),
    };
    for (const auto& other : others) {
        const Fan& f = std::get<Fan>(other);
        EXPECT_NEAR(f.upstream.M, 2, 1e-14);
        EXPECT_NEAR(f.downstream.M, M2, 1e-13);
        EXPECT_NEAR(f.theta, 15, 1e-12);
        EXPECT_NEAR(f.p2p1, ref.p2p1, 1e-14);
        EXPECT_NEAR(f.rearwardMachLine, ref.downstream.mu - 15, 1e-12);
    }
    EXPECT_NEAR(ref.maxTurn + ref.upstream.nu, nuMaxDegrees(gas), 1e-13);
    EXPECT_NEAR(ref.rho2rho1, std::pow(ref.T2T1, 1 / (1.3 - 1)), 1e-14);
}

// The state behind a fan takes its Mach angle from the inverse's last step, not from its own M,
// and a row of corners its nu as well: each is the nearest double, so they agree on every case,
// near a midpoint too; and a turn gives the fan's ratios.
TEST(Solve, TheStateBehindAFanHasItsOwnAngles)
{
    std::uint64_t seed = 99;
    const auto uniform = [&] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(seed >> 11) * 0x1p-53;
    };
    for (double gamma : {1.4, 5.0 / 3, 1.2, 1.05, 2.5}) {
        const Gas gas(gamma);
        int mismatches = 0;
        for (int i = 0; i < 20000; ++i) {
            const double M1 = 1 + std::pow(10.0, -2 + 4 * uniform());
            const double theta = (nuMaxDegrees(gas) - nuDegrees(gas, M1)) * uniform();
            const auto fan = solveFan(gas, Given{By::Mach, M1}, std::nullopt, theta);
            const auto* f = std::get_if<Fan>(&fan);
            if (!f)
                continue;
            const State own = stateAt(gas, f->downstream.M);
            mismatches += f->downstream.mu != own.mu;
            const State& up = f->upstream;
            const auto turn = solveTurn(gas, Angles{up.M, up.nu, up.mu}, theta);
            const auto* t = std::get_if<Turn>(&turn);
            mismatches += !t || t->downstream.M != own.M || t->downstream.nu != own.nu || t->downstream.mu != own.mu ||
                          t->across.p2p1 != f->p2p1 || t->across.T2T1 != f->T2T1 || t->across.rho2rho1 != f->rho2rho1;
        }
        EXPECT_EQ(mismatches, 0) << "gamma " << gamma;
    }
}

// Many fans at once give what one at a time gives, to the bit, where they are worked eight at a
// time: from near M = 1 to 10^7, turns from nothing to beyond the limit, either way, in air and
// in a gas the lanes do not take; and the refusals are the same. So do a table's states and
// Mach numbers from nu.
TEST(Solve, ManyFansAtOnceAreEachFanAlone)
{
    std::uint64_t seed = 5;
    const auto uniform = [&] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(seed >> 11) * 0x1p-53;
    };
    constexpr std::size_t kCases = 200003;  // not a whole number of blocks or of fours
    std::vector<double> M1(kCases), theta(kCases);
    for (std::size_t i = 0; i < kCases; ++i) {
        M1[i] = i % 3 == 0 ? 1 + 4 * uniform() : 0.9 + std::pow(10.0, -12 + 19 * uniform());
        theta[i] = i % 7 == 0 ? 0 : (i % 5 == 0 ? -20 : 0) + std::pow(10.0, -9 + 11.2 * uniform());
    }
    for (double gamma : {1.4, 1.3}) {
        const Gas gas(gamma);
        std::vector<std::variant<Fan, Problem>> many(kCases);
        solveFans(gas, M1, theta, many);
        int mismatches = 0;
        for (std::size_t i = 0; i < kCases; ++i) {
            const auto alone = solveFan(gas, Given{By::Mach, M1[i]}, std::nullopt, theta[i]);
            const auto* a = std::get_if<Fan>(&alone);
            const auto* b = std::get_if<Fan>(&many[i]);
            if (a && b)
                mismatches += std::memcmp(a, b, sizeof(Fan)) != 0;
            else if (!a && !b)
                mismatches += std::get<Problem>(alone).kind != std::get<Problem>(many[i]).kind ||
                              std::get<Problem>(alone).low != std::get<Problem>(many[i]).low;
            else
                ++mismatches;
        }
        // The states of a gas table from the same Mach numbers.
        std::vector<std::variant<State, Problem>> states(kCases);
        tableStates(gas, By::Mach, M1, states);
        for (std::size_t i = 0; i < kCases; ++i) {
            const auto alone = tableState(gas, Given{By::Mach, M1[i]});
            const auto* a = std::get_if<State>(&alone);
            const auto* b = std::get_if<State>(&states[i]);
            mismatches += a && b ? std::memcmp(a, b, sizeof(State)) != 0 : !a != !b;
        }
        // Mach numbers from nu, up to and past nuMax.
        std::vector<double> nu(kCases);
        for (std::size_t i = 0; i < kCases; ++i)
            nu[i] = i % 4 == 0 ? std::pow(10.0, -12 + 14 * uniform()) : -1 + (nuMaxDegrees(gas) + 2) * uniform();
        std::vector<std::optional<double>> machs(kCases);
        machsFromNu(gas, nu, machs);
        for (std::size_t i = 0; i < kCases; ++i)
            mismatches += machs[i] != machFromNu(gas, nu[i]);
        EXPECT_EQ(mismatches, 0) << "gamma " << gamma;
    }
}

// Where this machine works in lanes, they decide nearly every usual case themselves: one at a
// time is for a value too near a midpoint between two doubles, not for whole blocks, which
// would give the same bits at several times the cost.
TEST(Solve, LanesDecideAlmostEveryUsualCase)
{
    if (!manyAtOnceInLanes())
        GTEST_SKIP() << "no lanes in this build or on this processor";
    std::uint64_t seed = 17;
    const auto uniform = [&] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(seed >> 11) * 0x1p-53;
    };
    constexpr std::size_t kCases = 100000;
    std::vector<double> M(kCases), theta(kCases), nu(kCases);
    for (std::size_t i = 0; i < kCases; ++i) {
        M[i] = 1.2 + 4 * uniform();
        theta[i] = 1 + 29 * uniform();
        nu[i] = 5 + 120 * uniform();
    }
    const Gas& air = Gas::air();
    std::vector<Fan> fans(kCases);
    std::vector<State> states(kCases);
    std::vector<double> machs(kCases);
    auto solved = std::make_unique<bool[]>(kCases);
    const auto share = [&] { return static_cast<double>(std::count(&solved[0], &solved[0] + kCases, true)) / kCases; };
    fansInLanes(air, M.data(), theta.data(), kCases, fans.data(), solved.get());
    EXPECT_GT(share(), 0.999) << "fans";
    statesInLanes(air, M.data(), kCases, states.data(), solved.get());
    EXPECT_GT(share(), 0.999) << "states";
    machsInLanes(air, nu.data(), kCases, machs.data(), solved.get());
    EXPECT_GT(share(), 0.999) << "Mach numbers";
}

// The lanes decide only what is theirs: air, within range. Whatever else they are handed (no
// number, subsonic, a Mach wave, nu out of range, a detached shock, another gas) is left to the
// one-at-a-time engine, and the case beside them still decides.
TEST(Solve, LanesLeaveWhatIsNotTheirs)
{
    if (!manyAtOnceInLanes())
        GTEST_SKIP() << "no lanes in this build or on this processor";
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    // Each list ends with an ordinary case, which air decides; the pairs are M1 and theta.
    const std::vector<double> fanM = {nan, inf, 0.5, 1, 2, 2, 2, 2, 2};
    const std::vector<double> fanTheta = {10, 10, 10, 10, nan, inf, 0, 200, 10};
    const std::vector<double> machs = {nan, inf, 0.5, 1, 2e6, 2};
    const std::vector<double> nus = {nan, -1, 0, 130.46, inf, 26.38};
    const std::vector<double> shockM = {nan, inf, 0.5, 1, 1e5, 2, 2, 2, 2, 2, 2};
    const std::vector<double> shockTheta = {10, 10, 10, 10, 10, nan, -1, 0, 30, 90, 10};
    for (const Gas& gas : {Gas::air(), Gas(1.3)}) {
        SCOPED_TRACE(gas.gamma());
        bool solved[16] = {};
        const auto expectOnlyTheLast = [&](std::size_t n, const char* what) {
            for (std::size_t i = 0; i + 1 < n; ++i)
                EXPECT_FALSE(solved[i]) << what << " " << i;
            EXPECT_EQ(solved[n - 1], gas.isAir()) << what;
        };
        Fan fans[16];
        fansInLanes(gas, fanM.data(), fanTheta.data(), fanM.size(), fans, solved);
        expectOnlyTheLast(fanM.size(), "fan");
        State states[16];
        statesInLanes(gas, machs.data(), machs.size(), states, solved);
        expectOnlyTheLast(machs.size(), "state");
        double M[16];
        machsInLanes(gas, nus.data(), nus.size(), M, solved);
        expectOnlyTheLast(nus.size(), "inverse");
        LimitedShock shocks[16];
        shocksInLanes(gas, shockM.data(), shockTheta.data(), shockM.size(), shocks, solved);
        expectOnlyTheLast(shockM.size(), "shock");
    }
}

// No turn is the state itself, whichever way it was given, for any gamma: not the inverse's
// neighbour of it, and not a refusal where lambda - 1 is below a double's resolution of lambda.
TEST(Solve, NoTurnLeavesTheStateAsItIs)
{
    for (double gamma : {1.4, 5.0 / 3, 1.0000001, 1e6, 1e16, 1e300}) {
        const Gas gas(gamma);
        const std::vector<Given> givens = {
            {By::Mach, 1}, {By::Mach, 2}, {By::Mach, 1e300}, {By::Nu, nuMaxDegrees(gas) / 3}, {By::Mu, 30}};
        for (const Given& given : givens) {
            SCOPED_TRACE(testing::Message() << "gamma " << gamma << ", given " << static_cast<int>(given.by) << " "
                                            << given.value);
            for (const bool fromUpstream : {true, false}) {
                const auto result = fromUpstream ? solveFan(gas, given, std::nullopt, 0.0)
                                                 : solveFan(gas, std::nullopt, given, 0.0);
                ASSERT_TRUE(std::holds_alternative<Fan>(result)) << std::get<Problem>(result).low;
                const Fan& fan = std::get<Fan>(result);
                EXPECT_EQ(fan.downstream.M, fan.upstream.M);
                EXPECT_EQ(fan.theta, 0);
                EXPECT_EQ(fan.p2p1, 1);
                EXPECT_EQ(fan.T2T1, 1);
                EXPECT_EQ(fan.rho2rho1, 1);
            }
            // A corner of no turn in a row: the same angles, not the inverse's neighbour of them.
            const State s = std::get<Fan>(solveFan(gas, given, std::nullopt, 0.0)).upstream;
            const auto turn = solveTurn(gas, Angles{s.M, s.nu, s.mu}, 0.0);
            ASSERT_TRUE(std::holds_alternative<Turn>(turn));
            const Turn& t = std::get<Turn>(turn);
            EXPECT_TRUE(t.downstream.M == s.M && t.downstream.nu == s.nu && t.downstream.mu == s.mu);
            EXPECT_TRUE(t.across.p2p1 == 1 && t.across.T2T1 == 1 && t.across.rho2rho1 == 1);
        }
    }
}

// From M1 = 1 every theta from the smallest double up to the last one below nuMax has its M2:
// as close as a double M can come (one step of M moves nu by its quantum), and never smaller
// for a larger theta.
TEST(Solve, EveryTurnFromSonicToTheLimitHasItsState)
{
    for (double gamma : {1.4, 5.0 / 3, 1.2, 1.0000001, 1e6, 1e16, 1e300}) {
        const Gas gas(gamma);
        const double nuMax = nuMaxDegrees(gas);
        std::vector<double> thetas;
        for (double theta : {4.9406564584124654e-324, 1e-310, 1e-200, 1e-100, 1e-30}) {
            if (theta < nuMax)
                thetas.push_back(theta);
        }
        for (double fraction : {1e-300, 1e-100, 1e-12, 1e-3, 0.5, 0.999})
            thetas.push_back(nuMax * fraction);
        thetas.push_back(std::nextafter(nuMax, 0.0));
        std::sort(thetas.begin(), thetas.end());
        double previous = 1;
        for (double theta : thetas) {
            SCOPED_TRACE(testing::Message() << "gamma " << gamma << ", theta " << theta);
            if (theta == 0)
                continue;  // a fraction of a tiny nuMax that underflowed
            const auto result = solveFan(gas, Given{By::Mach, 1}, std::nullopt, theta);
            ASSERT_TRUE(std::holds_alternative<Fan>(result)) << "no M2; theta must be below " << std::get<Problem>(result).high;
            const double M2 = std::get<Fan>(result).downstream.M;
            ASSERT_TRUE(std::isfinite(M2));
            EXPECT_GE(M2, previous);
            previous = M2;
            const double quantum = nuDegrees(gas, std::nextafter(M2, INFINITY)) - nuDegrees(gas, M2);
            const double ulp = std::nextafter(theta, INFINITY) - theta;
            EXPECT_LE(std::fabs(nuDegrees(gas, M2) - theta), quantum + 4 * ulp);
            // A row of corners gets the same M2, with nu and mu of that M2 itself.
            const auto turn = solveTurn(gas, Angles{1, 0, 90}, theta);
            ASSERT_TRUE(std::holds_alternative<Turn>(turn));
            const Angles& behind = std::get<Turn>(turn).downstream;
            EXPECT_EQ(behind.M, M2);
            EXPECT_EQ(behind.nu, nuDegrees(gas, M2));
            EXPECT_EQ(behind.mu, stateAt(gas, M2).mu);
        }
    }
}

TEST(Solve, CasesWithoutSolutionNameTheRangeThatHasOne)
{
    const Gas& air = Gas::air();
    const double nu2 = nuDegrees(air, 2);
    struct Case { std::optional<Given> up; std::optional<Given> down; std::optional<double> theta;
                  std::string_view quantity; double low; double high; };
    const std::vector<Case> cases = {
        {Given{By::Mach, 0.9}, std::nullopt, 1.0, "M1", 1, INFINITY},
        {std::nullopt, Given{By::Nu, 131}, 1.0, "nu2", 0, nuMaxDegrees(air)},
        {Given{By::Mu, 91}, std::nullopt, 1.0, "mu1", 0, 90},
        {Given{By::Mach, 2}, std::nullopt, 150.0, "theta", -nu2, nuMaxDegrees(air) - nu2},
        {std::nullopt, Given{By::Mach, 2}, 30.0, "theta", nu2 - nuMaxDegrees(air), nu2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quantity);
        const auto result = solveFan(air, c.up, c.down, c.theta);
        ASSERT_TRUE(std::holds_alternative<Problem>(result));
        const Problem& p = std::get<Problem>(result);
        EXPECT_EQ(p.quantity, c.quantity);
        EXPECT_NEAR(p.low, c.low, 1e-12);
        EXPECT_EQ(std::isinf(p.high), std::isinf(c.high));
        if (!std::isinf(c.high)) {
            EXPECT_NEAR(p.high, c.high, 1e-12);
        }
    }
}

TEST(Solve, AChainIsItsCornersTakenTogether)
{
    const Gas gas(5.0 / 3);
    const std::vector<double> thetas = {5, 7.5, 10};
    const auto fans = std::get<std::vector<Fan>>(solveChain(gas, Given{By::Mach, 1.5}, thetas));
    ASSERT_EQ(fans.size(), 4u);
    const Fan& overall = fans.back();
    const Fan direct = std::get<Fan>(solveFan(gas, Given{By::Mach, 1.5}, std::nullopt, 22.5));
    EXPECT_EQ(overall.theta, 22.5);
    EXPECT_NEAR(overall.downstream.M, direct.downstream.M, 1e-13);
    EXPECT_NEAR(fans[0].p2p1 * fans[1].p2p1 * fans[2].p2p1, overall.p2p1, 1e-15);
    EXPECT_EQ(fans[1].upstream.M, fans[0].downstream.M);
}

}  // namespace
}  // namespace velhorn::flow
