#pragma once

#include "bodies/body.h"
#include "flow/corners.h"
#include "flow/oblique_shock.h"

#include <array>
#include <string>
#include <string_view>

// Shocks, corners and bodies as records for other programs, as press/records.h has the fan's:
// column names with units, values in column order, and refusals in one line.
namespace velhorn::bodies {

inline constexpr std::array<std::string_view, 15> kShockColumns = {
    "gamma",   "M1",        "theta_deg", "beta_deg",      "strong",       "M2",           "Mn1",            "Mn2",
    "p2_p1",   "rho2_rho1", "T2_T1",     "p02_p01",       "theta_max_deg", "beta_max_deg", "theta_sonic_deg"};
[[nodiscard]] std::array<double, kShockColumns.size()> shockValues(const flow::Shock& shock,
                                                                  const flow::ShockLimits& limits);

// One record a wave, keyed by the regions it joins, then one for the whole row; each labelled
// with the wave's kind (fan, shock, compression, or overall).
inline constexpr std::array<std::string_view, 2> kCornerKeys = {"from_region", "to_region"};
inline constexpr std::string_view kWaveLabel = "wave";
inline constexpr std::array<std::string_view, 14> kCornerColumns = {
    "theta_deg", "beta_deg", "first_mach_line_deg", "last_mach_line_deg", "M_ahead", "M_behind", "direction_deg",
    "p2_p1",     "T2_T1",    "rho2_rho1",           "p02_p01",            "p_p1",    "T_T1",     "p0_p01"};
[[nodiscard]] std::string_view waveName(flow::CornerWave::Kind kind);
[[nodiscard]] std::array<double, kCornerColumns.size()> cornerValues(const flow::CornerFlow& flow, std::size_t wave);
[[nodiscard]] std::array<double, kCornerColumns.size()> cornerOverallValues(const flow::CornerFlow& flow);

// A facet's record, keyed by its number from the nose and labelled with its surface and wave.
inline constexpr std::array<std::string_view, 1> kFacetKeys = {"facet"};
inline constexpr std::array<std::string_view, 2> kFacetLabels = {"surface", "wave"};
inline constexpr std::array<std::string_view, 13> kFacetColumns = {
    "x_from", "y_from", "x_to", "y_to", "deflection_deg", "beta_deg", "first_mach_line_deg", "last_mach_line_deg",
    "M",      "p_p_inf", "Cp",  "T_T_inf", "p0_p0_inf"};
[[nodiscard]] std::string_view surfaceName(Surface surface);
[[nodiscard]] std::array<double, kFacetColumns.size()> facetValues(const Facet& facet);

// The body's record: its forces by shock-expansion theory, then by Ackeret's and Busemann's.
inline constexpr std::array<std::string_view, 15> kBodyColumns = {
    "gamma",      "M_inf",      "alpha_deg",     "cl",          "cd",          "cm_le",        "cm_c4", "l_d",
    "x_cp",       "cl_ackeret", "cd_ackeret",    "cm_c4_ackeret", "cl_busemann", "cd_busemann", "cm_c4_busemann"};
[[nodiscard]] std::array<double, kBodyColumns.size()> bodyValues(const BodyFlow& body);

// Refusals in one line, numbers with `digits` significant digits. `machName` names the Mach
// number ahead of the wave ("M1" for a lone shock).
[[nodiscard]] std::string waveProblemText(const flow::WaveProblem& problem, std::string_view machName, int digits);
[[nodiscard]] std::string cornerProblemText(const flow::CornerProblem& problem, int digits);
[[nodiscard]] std::string bodyProblemText(const BodyProblem& problem, int digits);

}  // namespace velhorn::bodies
