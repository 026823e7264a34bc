// SPDX-License-Identifier: GPL-3.0-or-later
// The chunk planner: one walk over the sorted silences.
#include "chunkplan.h"

#include <algorithm>

namespace parvex {

std::vector<ChunkCut> PlanChunks(const std::vector<Silence>& silences, std::int64_t totalSamples,
    std::int64_t desired, std::int64_t max)
{
    std::vector<ChunkCut> cuts;
    if (desired <= 0)
        return cuts;
    std::int64_t previous = 0;
    auto next = silences.begin();
    while (totalSamples - previous > desired) {
        const std::int64_t from = previous + desired;
        next
            = std::find_if(next, silences.end(), [&](const Silence& s) { return s.start >= from; });
        if (next != silences.end() && next->start < previous + max && next->end < totalSamples)
            cuts.push_back({ next->start + (next->end - next->start) / 2, true });
        else
            cuts.push_back({ from, false });
        previous = cuts.back().sample;
    }
    if (!cuts.empty() && totalSamples - cuts.back().sample < desired / 2)
        cuts.pop_back();
    return cuts;
}

} // namespace parvex
