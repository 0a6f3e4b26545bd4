#pragma once

#include <algorithm>
#include <cstddef>
#include <span>

namespace velhorn::flow {

// out[i] for every case, a block at a time: what `inLanes(first, count, answers, solved)` decided
// where `lanes`, else alone(i).
template <typename Answer, typename Result, typename InLanes, typename Alone>
void inBlocks(std::span<Result> out, bool lanes, InLanes inLanes, Alone alone)
{
    constexpr std::size_t kBlock = 256;
    Answer answers[kBlock];
    bool solved[kBlock] = {};
    for (std::size_t first = 0; first < out.size(); first += kBlock) {
        const std::size_t count = std::min(kBlock, out.size() - first);
        // A short block touches all of the answers too: a long run's stack is no deeper than a
        // short one's.
        if (count < kBlock)
            std::fill(answers + count, answers + kBlock, Answer{});
        if (lanes)
            inLanes(first, count, answers, solved);
        for (std::size_t i = 0; i < count; ++i)
            out[first + i] = solved[i] ? Result(answers[i]) : alone(first + i);
    }
}

}  // namespace velhorn::flow
