// SPDX-License-Identifier: GPL-3.0-or-later
// A level summary shown while it is decoded: the new blocks taken from the decoding thread in
// chunks, and the summary the showing thread fills from them.
#pragma once

#include "levelsummary.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace parvex {

// Blocks [firstBlock, firstBlock + blocks.size()) of a summary being decoded, with the summary's
// format. firstBlock and the count are whole coarse blocks, so that the coarse level of what has
// arrived is final.
struct LevelBlocksChunk
{
    int sampleRate = 0, channels = 0, blockSamples = 0;
    std::int64_t totalSamples = 0; // as scanned
    std::size_t blockCount = 0; // of the whole summary, as scanned
    std::size_t firstBlock = 0;
    std::vector<LevelBlock> blocks;
};

// On the decoding thread, in LevelProgress::partial: copies of the whole coarse blocks finished
// since the last call, one chunk per run that has any. `sent` holds, per run, the blocks already
// taken (zeros before the first call).
std::vector<LevelBlocksChunk> TakeNewBlocks(
    const LevelBlocksSoFar& soFar, std::array<std::size_t, 2>& sent);

// On the showing thread: a summary of the scanned length whose blocks and coarse level are
// filled where chunks arrived and zero elsewhere. Not thread-safe.
class PartialLevels
{
public:
    // Starts a summary of the chunk's format and length.
    explicit PartialLevels(const LevelBlocksChunk& format);

    // False, with nothing added, for a chunk of another format or length than the summary's.
    bool add(const LevelBlocksChunk& chunk);
    // Shared with whoever paints; changed by add() only.
    std::shared_ptr<const LevelSummary> summary() const { return m_summary; }
    // The samples [begin, end) that have arrived, sorted and disjoint.
    const std::vector<std::pair<std::int64_t, std::int64_t>>& decoded() const { return m_decoded; }

private:
    std::shared_ptr<LevelSummary> m_summary;
    std::vector<std::pair<std::int64_t, std::int64_t>> m_decoded;
};

} // namespace parvex
