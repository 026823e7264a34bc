// SPDX-License-Identifier: GPL-3.0-or-later
// A pixel column's levels from the coarse level or the 10 ms blocks.
#include "columnlevels.h"

#include <algorithm>

namespace parvex {

std::optional<LevelBlock> ColumnLevels(
    const LevelSummary& levels, std::int64_t begin, std::int64_t end)
{
    if (levels.blockSamples <= 0 || begin < 0 || end <= begin)
        return std::nullopt;
    const std::int64_t coarseSamples
        = std::int64_t { levels.blockSamples } * LevelSummary::kCoarseBlocks;
    const bool coarse = !levels.coarse.empty() && end - begin >= coarseSamples;
    const std::vector<LevelBlock>& level = coarse ? levels.coarse : levels.blocks;
    const std::int64_t entrySamples = coarse ? coarseSamples : levels.blockSamples;
    const std::int64_t first = begin / entrySamples;
    const std::int64_t last
        = std::min<std::int64_t>((end - 1) / entrySamples, std::ssize(level) - 1);
    if (first > last)
        return std::nullopt;
    LevelBlock column;
    for (std::int64_t i = first; i <= last; ++i) {
        const LevelBlock& entry = level[std::size_t(i)];
        column.min = std::min(column.min, entry.min);
        column.max = std::max(column.max, entry.max);
        column.rms = std::max(column.rms, entry.rms);
    }
    return column;
}

} // namespace parvex
