#include "flow/expansion_fan.h"
#include "flow/state_ratios.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace velhorn::flow {
namespace {

const ExpansionFan fan;

double nu(double M)
{
    double Nu = -1;
    fan.Nu_için_hesap(M, Nu);
    return Nu;
}

// Same rounding the window applies before it shows a number.
double round3(double x) { return std::nearbyint(x * 1000) / 1000; }

TEST(GasConstants, AreComputedNotApproximated)
{
    EXPECT_DOUBLE_EQ(fan.Pi, 3.14159265358979323846);
    EXPECT_EQ(fan.DegRad, fan.Pi / 180);
    EXPECT_EQ(fan.Lambda, std::sqrt(6.0));
    EXPECT_NEAR(fan.nuLimitDegrees(), 130.454, 5e-4);
}

TEST(TurningAngle, ReferenceValues)
{
    struct Case { double M; double nu; };
    const std::vector<Case> cases = {
        {1.5, 11.905}, {2, 26.380}, {2.5, 39.124}, {3, 49.757}, {5, 76.920},
        {1.1, 1.336},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.M);
        EXPECT_EQ(round3(nu(c.M)), c.nu);
    }
    EXPECT_NEAR(nu(2), 26.379760813, 1e-9);
}

TEST(TurningAngle, SonicIsExactlyZeroAndLargeMachStaysBelowTheLimit)
{
    EXPECT_EQ(nu(1), 0.0);
    const double big = nu(1e6);
    EXPECT_LT(big, fan.nuLimitDegrees());
    EXPECT_GT(big, 130.45);
    EXPECT_TRUE(std::isfinite(nu(1e150)));
}

TEST(TurningAngle, IncreasesWithMach)
{
    double previous = nu(1);
    for (int i = 1; i <= 2000; ++i) {
        const double current = nu(1 + i * 0.01);
        ASSERT_GT(current, previous) << "at M = " << 1 + i * 0.01;
        previous = current;
    }
}

TEST(TurningAngle, RefusesSubsonicMach)
{
    double Nu = 7;
    for (double M : {0.999999, 0.0, -2.0, std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(M);
        EXPECT_THROW(fan.Nu_için_hesap(M, Nu), std::domain_error);
        EXPECT_EQ(Nu, 7) << "a refused call must not write its result";
    }
}

TEST(Inversion, WorkedTable)
{
    struct Case { double Nu; int updates; double M; double shown; };
    const std::vector<Case> cases = {
        {0, 6, 1.0003547, 1},          {5, 3, 1.2564732, 1.256},
        {11.905, 2, 1.4999929, 1.5},   {26.38, 2, 1.9999930, 2},
        {49.757, 3, 2.9999660, 3},     {76.92, 4, 4.9999569, 5},
        {100, 5, 9.2104337, 9.21},     {120, 7, 27.336584, 27.337},
        {130, 11, 630.86094, 630.861},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Nu);
        const Inversion r = fan.invert(c.Nu);
        EXPECT_TRUE(r.solved());
        EXPECT_EQ(r.updates, c.updates);
        EXPECT_NEAR(r.M / c.M, 1.0, 5e-8);  // 7 significant digits
        EXPECT_EQ(round3(r.M), c.shown);
    }
}

TEST(Inversion, TargetsAtTheEdgesOfTheRangeStillConverge)
{
    struct Case { double Nu; double M; double relTol; int updates; };
    const std::vector<Case> cases = {
        {-0.0005, 1.00005, 1e-5, -1},
        {-0.00024, 1.0002, 1e-4, -1},
        {130.45, 65865, 1e-4, 16},
        {130.454, 702570, 1e-5, 18},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Nu);
        const Inversion r = fan.invert(c.Nu);
        ASSERT_TRUE(r.solved());
        EXPECT_NEAR(r.M / c.M, 1.0, c.relTol);
        if (c.updates >= 0) {
            EXPECT_EQ(r.updates, c.updates);
        }
    }
}

TEST(Inversion, TargetsWithoutSolutionAreReported)
{
    struct Case { double Nu; InversionOutcome outcome; };
    const std::vector<Case> cases = {
        {-1, InversionOutcome::IterateBelowOne},
        {-10, InversionOutcome::IterateBelowOne},
        {-50, InversionOutcome::IterateBelowOne},
        {-70, InversionOutcome::StepCapReached},
        {-100, InversionOutcome::Overflow},
        {131, InversionOutcome::Overflow},
        {1e300, InversionOutcome::Overflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Nu);
        const Inversion r = fan.invert(c.Nu);
        EXPECT_FALSE(r.solved());
        EXPECT_EQ(r.outcome, c.outcome);
    }
    // The 50-pass case hands back the last iterate, which is no solution.
    EXPECT_NEAR(fan.invert(-70).M, 1.55, 0.01);
    EXPECT_EQ(fan.invert(-70).updates, ExpansionFan::kStepCap);
}

TEST(Inversion, ProcedureFormIgnoresTetaAndTheIncomingValue)
{
    for (double target : {0.0, 26.38, 36.379760813, 130.0}) {
        SCOPED_TRACE(target);
        const double expected = fan.invert(target).M;
        for (double teta : {0.0, -45.0, 1e9}) {
            for (double incoming : {0.0, 3.0, -1e300, std::numeric_limits<double>::infinity()}) {
                double M = incoming;
                EXPECT_EQ(fan.M_için_hesap(target, teta, M), InversionOutcome::Converged);
                EXPECT_EQ(M, expected);
            }
        }
    }
}

TEST(Inversion, RoundTripsTheTurningAngle)
{
    // nu1 + theta for M1 = 2, theta = 10 inverts to 2.385.
    EXPECT_EQ(round3(fan.invert(nu(2) + 10).M), 2.385);
    for (double M = 1.05; M < 50; M *= 1.3) {
        SCOPED_TRACE(M);
        const Inversion r = fan.invert(nu(M));
        ASSERT_TRUE(r.solved());
        double back = 0;
        fan.Nu_için_hesap(r.M, back);
        EXPECT_LT(std::fabs(back - nu(M)) * fan.DegRad, ExpansionFan::kToleranceRadians);
    }
}

TEST(StateRatios, ReferencePairs)
{
    struct Case { double M1, M2, T, p; };
    const std::vector<Case> cases = {
        {1.5, 2, 0.806, 0.469},
        {2, 3, 0.643, 0.213},
        {2, 1.5, 1.241, 2.131},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.M1 << " -> " << c.M2);
        const double T = temperatureRatio(c.M1, c.M2);
        EXPECT_EQ(round3(T), c.T);
        EXPECT_EQ(round3(pressureRatio(T)), c.p);
    }
    for (double M : {1.0, 2.0, 7.3, 1e100}) {
        EXPECT_EQ(temperatureRatio(M, M), 1.0);
        EXPECT_EQ(pressureRatio(temperatureRatio(M, M)), 1.0);
    }
}

}  // namespace
}  // namespace velhorn::flow
