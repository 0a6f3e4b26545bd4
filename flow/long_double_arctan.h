#pragma once

#include <cmath>

// atan in long double from a table and a short series: on the x87 several times quicker than
// atanl, within about two of its ulps, where fans and shocks take several each.
namespace velhorn::flow {

namespace detail {

// atan at the points k/256, from which arctanOfUnit starts.
struct ArctanTable {
    long double at[257];
    ArctanTable()
    {
        for (int k = 0; k <= 256; ++k)
            at[k] = std::atan(k / 256.0L);
    }
};

inline const ArctanTable& arctanTable()
{
    static const ArctanTable table;
    return table;
}

}  // namespace detail

// atan(x) for 0 <= x <= 1, in radians: atan(c) at the table point c nearest x plus the series
// of atan((x - c) / (1 + x c)), whose argument is at most 1/512, so four terms reach 2^-72;
// their sum is split in two halves that are formed side by side.
[[gnu::always_inline]] inline long double arctanOfUnit(long double x)
{
    // The index only picks a nearby point; rounding x to double first avoids x87's slow conversion.
    const int k = static_cast<int>(static_cast<double>(x) * 256 + 0.5);
    const long double c = k / 256.0L;
    const long double t = (x - c) / (1 + x * c);
    const long double s = t * t;
    return detail::arctanTable().at[k] + (t + t * s * ((-1 / 3.0L + s * (1 / 5.0L)) + (s * s) * (-1 / 7.0L)));
}

// atan(y / x) in radians for y, x >= 0, not both 0, the ratio taken the way that is at most 1.
[[gnu::always_inline]] inline long double arctanOfQuotient(long double y, long double x)
{
    constexpr long double kHalfPi = 1.570796326794896619231321691639751442L;
    return y <= x ? arctanOfUnit(y / x) : kHalfPi - arctanOfUnit(x / y);
}

}  // namespace velhorn::flow
