#pragma once

#include "press/records.h"

#include <array>
#include <string_view>

// What a person reads above each column of a fan's record: the quantity's symbol or name and
// its unit. Programs read kFanColumns instead.
namespace velhorn::press {

inline constexpr std::array<std::string_view, kFanColumns.size()> kFanColumnTitles = {
    "γ",     "M1",      "ν1 (°)",  "μ1 (°)", "p1/p0", "T1/T0", "ρ1/ρ0",
    "M2",    "ν2 (°)",  "μ2 (°)",  "p2/p0",  "T2/T0", "ρ2/ρ0",
    "θ (°)", "p2/p1",   "T2/T1",   "ρ2/ρ1",
    "forward Mach line (°)", "rearward Mach line (°)", "largest turn left (°)", "νmax (°)",
};

}  // namespace velhorn::press
