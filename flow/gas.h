#pragma once

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
    [[nodiscard]] double lambda() const { return lambda_; }                  // sqrt((gamma + 1) / (gamma - 1))
    [[nodiscard]] double lambdaSquared() const { return lambdaSquared_; }    // (gamma + 1) / (gamma - 1)
    [[nodiscard]] double halfGammaMinusOne() const { return halfGammaMinusOne_; }            // (gamma - 1) / 2
    [[nodiscard]] double gammaOverGammaMinusOne() const { return gammaOverGammaMinusOne_; }  // gamma / (gamma - 1)
    // The same in long double, for the full-precision path: air's from exactly 7/5.
    [[nodiscard]] long double lambdaLong() const { return lambdaLong_; }
    [[nodiscard]] long double halfGammaMinusOneLong() const { return halfGammaMinusOneLong_; }
    [[nodiscard]] long double gammaOverGammaMinusOneLong() const { return gammaOverGammaMinusOneLong_; }

private:
    double gamma_;
    double lambdaSquared_;
    double lambda_;
    double halfGammaMinusOne_;
    double gammaOverGammaMinusOne_;
    long double lambdaLong_;
    long double halfGammaMinusOneLong_;
    long double gammaOverGammaMinusOneLong_;
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
