#pragma once

#include "flow/double_double.h"

#include <algorithm>
#include <cstddef>

// What the files built for the vector unit share: eight cases in two AVX2 registers, and the way
// blocks of them are worked. Only those files include this.
#if defined(__AVX2__) && defined(__FMA__)
namespace velhorn::flow::lanes {

using Lanes = dd::Lanes2;
using Mask = Lanes;

inline constexpr std::size_t kWidth = 8;
// Cases worked stage by stage: each stage runs over all of their groups of eight, whose chains do
// not depend on one another, so the processor overlaps them instead of waiting on one.
inline constexpr std::size_t kGroups = 8;

[[gnu::always_inline]] inline Lanes load(const double* values)
{
    return {_mm256_loadu_pd(values), _mm256_loadu_pd(values + 4)};
}

// Into eight doubles aligned to 32 bytes.
[[gnu::always_inline]] inline void store(double* values, Lanes x)
{
    _mm256_store_pd(values, x.a);
    _mm256_store_pd(values + 4, x.b);
}

// One bit a lane, set where the mask is.
[[gnu::always_inline]] inline int bitsOf(Mask mask)
{
    return _mm256_movemask_pd(mask.a) | _mm256_movemask_pd(mask.b) << 4;
}

// values[at[lane]] in each lane.
[[gnu::always_inline]] inline Lanes gathered(const double* values, const std::size_t* at)
{
    alignas(32) double v[kWidth];
    for (std::size_t lane = 0; lane < kWidth; ++lane)
        v[lane] = values[at[lane]];
    return load(v);
}

// Every case in blocks of kGroups groups: begin(group, at) sets a group up from the cases at[],
// the block's last one repeated past its end; then pass(group), at most `passes` times, on each
// group with a lane still `sure` and not yet `converged`; then finish(group, first, lanes) takes
// the results of the `lanes` cases from `first` on.
template <typename Group, typename Begin, typename Pass, typename Finish>
[[gnu::always_inline]] inline void inGroups(std::size_t n, int passes, Begin begin, Pass pass, Finish finish)
{
    Group groups[kGroups];
    for (std::size_t start = 0; start < n; start += kGroups * kWidth) {
        const std::size_t count = std::min(n - start, kGroups * kWidth);
        const std::size_t used = (count + kWidth - 1) / kWidth;
        for (std::size_t k = 0; k < used; ++k) {
            std::size_t at[kWidth];
            for (std::size_t lane = 0; lane < kWidth; ++lane)
                at[lane] = start + std::min(count - 1, k * kWidth + lane);
            begin(groups[k], at);
        }
        for (int round = 0; round < passes; ++round) {
            int pending = 0;
            for (std::size_t k = 0; k < used; ++k) {
                const int settled = bitsOf(groups[k].converged) | ~bitsOf(groups[k].sure);
                if ((settled & 0xff) != 0xff) {
                    pass(groups[k]);
                    ++pending;
                }
            }
            if (pending == 0)
                break;
        }
        for (std::size_t k = 0; k < used; ++k) {
            const std::size_t first = start + k * kWidth;
            finish(groups[k], first, std::min(kWidth, start + count - first));
        }
    }
}

}  // namespace velhorn::flow::lanes
#endif
