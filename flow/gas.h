#pragma once

// A calorically perfect gas with gamma = 1.4 enters the formulas only through these numbers
// and through Lambda = sqrt(6), which the expansion fan computes when it is made.
namespace velhorn::flow::gas {

inline constexpr double kHalfGammaMinusOne = 0.2;       // (gamma - 1) / 2
inline constexpr double kGammaOverGammaMinusOne = 3.5;  // gamma / (gamma - 1)

}  // namespace velhorn::flow::gas
