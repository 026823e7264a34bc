// SPDX-License-Identifier: GPL-3.0-or-later
// The chunks of a summary in the making, cut on the decoding thread and laid in on the other.
#include "partiallevels.h"

#include <algorithm>

namespace parvex {

std::vector<LevelBlocksChunk> TakeNewBlocks(
    const LevelBlocksSoFar& soFar, std::array<std::size_t, 2>& sent)
{
    std::vector<LevelBlocksChunk> chunks;
    for (std::size_t r = 0; r < soFar.runs.size(); ++r) {
        const LevelBlocksSoFar::Run& run = soFar.runs[r];
        const std::size_t whole
            = (run.end - run.begin) / LevelSummary::kCoarseBlocks * LevelSummary::kCoarseBlocks;
        if (whole <= sent[r])
            continue;
        LevelBlocksChunk chunk { soFar.sampleRate, soFar.channels, soFar.blockSamples,
            soFar.totalSamples, soFar.blockCount, run.begin + sent[r], {} };
        chunk.blocks.assign(soFar.blocks + run.begin + sent[r], soFar.blocks + run.begin + whole);
        sent[r] = whole;
        chunks.push_back(std::move(chunk));
    }
    return chunks;
}

PartialLevels::PartialLevels(const LevelBlocksChunk& format)
    : m_summary(std::make_shared<LevelSummary>())
{
    LevelSummary& summary = *m_summary;
    summary.sampleRate = format.sampleRate;
    summary.channels = format.channels;
    summary.blockSamples = format.blockSamples;
    summary.totalSamples = format.totalSamples;
    summary.blocks.resize(format.blockCount);
    summary.coarse.resize(
        (format.blockCount + LevelSummary::kCoarseBlocks - 1) / LevelSummary::kCoarseBlocks);
}

bool PartialLevels::add(const LevelBlocksChunk& chunk)
{
    LevelSummary& summary = *m_summary;
    const std::size_t coarse = LevelSummary::kCoarseBlocks;
    if (chunk.sampleRate != summary.sampleRate || chunk.blockSamples != summary.blockSamples
        || chunk.totalSamples != summary.totalSamples || chunk.blockCount != summary.blocks.size()
        || chunk.firstBlock % coarse != 0 || chunk.blocks.size() % coarse != 0
        || chunk.firstBlock + chunk.blocks.size() > summary.blocks.size())
        return false;
    std::copy(chunk.blocks.begin(), chunk.blocks.end(),
        summary.blocks.begin() + std::ptrdiff_t(chunk.firstBlock));
    for (std::size_t c = 0; c < chunk.blocks.size() / coarse; ++c) {
        const LevelBlock* first = chunk.blocks.data() + c * coarse;
        summary.coarse[chunk.firstBlock / coarse + c] = CoarseBlockOf(first, first + coarse);
    }
    const std::int64_t begin = std::int64_t(chunk.firstBlock) * summary.blockSamples;
    const std::int64_t end = std::min(summary.totalSamples,
        std::int64_t(chunk.firstBlock + chunk.blocks.size()) * summary.blockSamples);
    // Chunks of one run arrive in order: most extend the stretch they follow.
    auto at = std::lower_bound(m_decoded.begin(), m_decoded.end(), std::pair { begin, end });
    at = m_decoded.insert(at, { begin, end });
    if (at != m_decoded.begin() && std::prev(at)->second >= at->first) {
        std::prev(at)->second = std::max(std::prev(at)->second, at->second);
        at = std::prev(m_decoded.erase(at));
    }
    while (std::next(at) != m_decoded.end() && at->second >= std::next(at)->first) {
        at->second = std::max(at->second, std::next(at)->second);
        m_decoded.erase(std::next(at));
    }
    return true;
}

} // namespace parvex
