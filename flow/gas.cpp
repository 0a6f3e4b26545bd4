#include "flow/gas.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace velhorn::flow {

namespace {

constexpr double kAirGamma = 1.4;

// Ideal-gas values at 300 K from Cengel & Boles, Thermodynamics, Table A-2(a), unless noted.
constexpr std::array kPresets = {
    GasPreset{"air", kAirGamma, "diatomic ideal gas, 7/5; also the window's and NACA Report 1135's value"},
    GasPreset{"argon", 5.0 / 3.0, "monatomic ideal gas, 5/3 (kinetic theory; Table A-2(a): 1.667)"},
    GasPreset{"helium", 5.0 / 3.0, "monatomic ideal gas, 5/3 (kinetic theory; Table A-2(a): 1.667)"},
    GasPreset{"neon", 5.0 / 3.0, "monatomic ideal gas, 5/3 (kinetic theory; Table A-2(a): 1.667)"},
    GasPreset{"nitrogen", 1.4, "Table A-2(a), 300 K"},
    GasPreset{"oxygen", 1.395, "Table A-2(a), 300 K"},
    GasPreset{"hydrogen", 1.405, "Table A-2(a), 300 K"},
    GasPreset{"methane", 1.299, "Table A-2(a), 300 K"},
    GasPreset{"carbon-dioxide", 1.289, "Table A-2(a), 300 K"},
    GasPreset{"steam", 1.327, "Table A-2(a), 300 K"},
    GasPreset{"exhaust", 1.2, "hot rocket exhaust; Sutton, Rocket Propulsion Elements, gives 1.2 to 1.3"},
};

}  // namespace

Gas::Gas(double gamma) : gamma_(gamma)
{
    if (!std::isfinite(gamma) || !(gamma > 1))
        throw std::invalid_argument("gamma must be a finite number above 1");
    if (gamma == kAirGamma) {
        lambdaSquared_ = 6;
        lambda_ = std::sqrt(6.0);
        halfGammaMinusOne_ = 0.2;
        gammaOverGammaMinusOne_ = 3.5;
        lambdaLong_ = std::sqrt(6.0L);
        halfGammaMinusOneLong_ = 0.2L;
        gammaOverGammaMinusOneLong_ = 3.5L;
        inverseGammaMinusOneLong_ = 2.5L;
        lambdaSquaredMinusOneLong_ = 5;
        lambdaMinusOneLong_ = lambdaLong_ - 1;
        oneMinusInverseLambdaSquaredLong_ = 5.0L / 6;
        lambdaWide_ = dd::kSqrtSix;
        lambdaSquaredMinusOne_ = static_cast<double>(lambdaSquaredMinusOneLong_);
        lambdaMinusOne_ = static_cast<double>(lambdaMinusOneLong_);
        return;
    }
    lambdaSquared_ = (gamma + 1) / (gamma - 1);
    lambda_ = std::sqrt(lambdaSquared_);
    halfGammaMinusOne_ = (gamma - 1) / 2;
    gammaOverGammaMinusOne_ = gamma / (gamma - 1);
    // From gamma itself rather than the rounded ratios, so the extra bits are real.
    const long double g = gamma;
    lambdaLong_ = std::sqrt((g + 1) / (g - 1));
    halfGammaMinusOneLong_ = (g - 1) / 2;
    gammaOverGammaMinusOneLong_ = g / (g - 1);
    inverseGammaMinusOneLong_ = 1 / (g - 1);
    lambdaSquaredMinusOneLong_ = 2 / (g - 1);
    lambdaMinusOneLong_ = lambdaSquaredMinusOneLong_ / (lambdaLong_ + 1);  // (lambda^2 - 1) / (lambda + 1)
    oneMinusInverseLambdaSquaredLong_ = 2 / (g + 1);
    // gamma + 1 and gamma - 1 are exact as two doubles.
    lambdaWide_ = dd::squareRoot(dd::divide(dd::twoSum(gamma, 1), dd::twoSum(gamma, -1)));
    lambdaSquaredMinusOne_ = static_cast<double>(lambdaSquaredMinusOneLong_);
    lambdaMinusOne_ = static_cast<double>(lambdaMinusOneLong_);
}

const Gas& Gas::air()
{
    static const Gas gas(kAirGamma);
    return gas;
}

std::span<const GasPreset> gasPresets()
{
    return kPresets;
}

const GasPreset* findGasPreset(std::string_view name)
{
    for (const GasPreset& preset : kPresets) {
        if (preset.name == name)
            return &preset;
    }
    return nullptr;
}

}  // namespace velhorn::flow
