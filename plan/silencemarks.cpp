// SPDX-License-Identifier: GPL-3.0-or-later
// Both kinds of silence pieces share the last step: spans between cuts, trimmed or not.
#include "silencemarks.h"

#include "chunkplan.h"

#include <cmath>

namespace parvex {

namespace {

CutAtMarks piecesBetween(const std::vector<std::int64_t>& cuts,
    const std::vector<Silence>& silences, std::int64_t totalSamples, int sampleRate,
    const SilenceSettings& settings)
{
    CutAtMarks marks;
    const auto keep = static_cast<std::int64_t>(std::llround(settings.keepSeconds * sampleRate));
    std::int64_t start = 0;
    for (std::size_t i = 0; i <= cuts.size(); ++i) {
        const std::int64_t end = i < cuts.size() ? cuts[i] : totalSamples;
        if (end <= start)
            continue;
        auto [first, last]
            = settings.trim ? TrimPiece(silences, start, end, keep) : std::pair { start, end };
        marks.pieces.push_back(
            { CutPoint { first, sampleRate }, CutPoint { last, sampleRate }, {}, {} });
        start = end;
    }
    return marks;
}

} // namespace

CutAtMarks SilenceMarks(const std::vector<Silence>& silences, std::int64_t totalSamples,
    int sampleRate, const SilenceSettings& settings)
{
    return piecesBetween(SilenceCuts(silences, totalSamples, settings.cutAt), silences,
        totalSamples, sampleRate, settings);
}

CutAtMarks ChunkMarks(const std::vector<Silence>& silences, std::int64_t totalSamples,
    int sampleRate, std::int64_t desired, std::int64_t maximum, const SilenceSettings& settings,
    std::vector<std::int64_t>* unsilentCuts)
{
    std::vector<std::int64_t> cuts;
    for (const ChunkCut& cut : PlanChunks(silences, totalSamples, desired, maximum)) {
        cuts.push_back(cut.sample);
        if (!cut.inSilence)
            unsilentCuts->push_back(cut.sample);
    }
    return piecesBetween(cuts, silences, totalSamples, sampleRate, settings);
}

} // namespace parvex
