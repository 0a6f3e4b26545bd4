#pragma once

#include "flow/double_double.h"

#include <span>
#include <string_view>

namespace velhorn::flow {

// A calorically perfect gas: everything the formulas need from its ratio of specific heats,
// derived once. The window's air keeps the literal constants it has always used (sqrt(6), 0.2,
// 3.5), so its results do not move by a bit; any other gamma computes them.
class Gas {
public:
    // Throws std::invalid_argument unless gamma is a finite number above 1.
    explicit Gas(double gamma);
    [[nodiscard]] static const Gas& air();

    [[nodiscard]] double gamma() const { return gamma_; }
    // Air with its exact 7/5, which the fast ratios and Hall's start stand for.
    [[nodiscard]] bool isAir() const { return gamma_ == 1.4 && halfGammaMinusOneLong_ == 0.2L; }
    [[nodiscard]] double lambda() const { return lambda_; }                  // sqrt((gamma + 1) / (gamma - 1))
    [[nodiscard]] double lambdaSquared() const { return lambdaSquared_; }    // (gamma + 1) / (gamma - 1)
    [[nodiscard]] double halfGammaMinusOne() const { return halfGammaMinusOne_; }            // (gamma - 1) / 2
    [[nodiscard]] double gammaOverGammaMinusOne() const { return gammaOverGammaMinusOne_; }  // gamma / (gamma - 1)
    // The same in long double, for the full-precision path: air's from exactly 7/5.
    [[nodiscard]] long double lambdaLong() const { return lambdaLong_; }
    [[nodiscard]] long double halfGammaMinusOneLong() const { return halfGammaMinusOneLong_; }
    [[nodiscard]] long double gammaOverGammaMinusOneLong() const { return gammaOverGammaMinusOneLong_; }
    [[nodiscard]] long double inverseGammaMinusOneLong() const { return inverseGammaMinusOneLong_; }  // 1 / (gamma - 1)
    // Differences from 1 that vanish as gamma grows, formed without subtracting from 1, so a
    // large gamma keeps their digits: lambda^2 - 1 = 2 / (gamma - 1), lambda - 1, and
    // 1 - 1 / lambda^2 = 2 / (gamma + 1).
    [[nodiscard]] double lambdaSquaredMinusOne() const { return lambdaSquaredMinusOne_; }
    [[nodiscard]] double lambdaMinusOne() const { return lambdaMinusOne_; }
    [[nodiscard]] long double lambdaSquaredMinusOneLong() const { return lambdaSquaredMinusOneLong_; }
    [[nodiscard]] long double lambdaMinusOneLong() const { return lambdaMinusOneLong_; }
    [[nodiscard]] long double oneMinusInverseLambdaSquaredLong() const { return oneMinusInverseLambdaSquaredLong_; }
    // lambda to about 2^-104, for the double-double fast paths: air's sqrt(6) exactly rounded.
    [[nodiscard]] dd::Wide lambdaWide() const { return lambdaWide_; }

private:
    double gamma_;
    double lambdaSquared_;
    double lambda_;
    double halfGammaMinusOne_;
    double gammaOverGammaMinusOne_;
    long double lambdaLong_;
    long double halfGammaMinusOneLong_;
    long double gammaOverGammaMinusOneLong_;
    long double inverseGammaMinusOneLong_;
    long double lambdaSquaredMinusOneLong_;
    long double lambdaMinusOneLong_;
    long double oneMinusInverseLambdaSquaredLong_;
    // The long double ones rounded once here: in the page's software long double a rounding
    // costs as much as a double division.
    double lambdaSquaredMinusOne_;
    double lambdaMinusOne_;
    dd::Wide lambdaWide_;
};

// A gas a user can name instead of typing its gamma.
struct GasPreset {
    std::string_view name;
    double gamma;
    std::string_view source;  // where the value comes from
};

[[nodiscard]] std::span<const GasPreset> gasPresets();
// The preset of that name (case-sensitive), or nullptr.
[[nodiscard]] const GasPreset* findGasPreset(std::string_view name);

}  // namespace velhorn::flow
