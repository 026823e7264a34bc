// SPDX-License-Identifier: GPL-3.0-or-later
// Silence detection on the 10 ms RMS blocks: cheap enough to run again for every threshold.
#include "silences.h"

#include <algorithm>
#include <cmath>

namespace parvex {

std::vector<Silence> FindSilences(const LevelSummary& levels, double thresholdDb, double minSeconds)
{
    std::vector<Silence> silences;
    if (levels.blockSamples <= 0)
        return silences;
    // The block's RMS is that of its loudest channel: under the threshold means under it on
    // every channel.
    const double threshold = 32767.0 * std::pow(10.0, thresholdDb / 20.0);
    const std::int64_t minSamples = std::llround(minSeconds * levels.sampleRate);
    const auto blockStart = [&](std::size_t block) {
        return std::min(
            levels.totalSamples, static_cast<std::int64_t>(block) * levels.blockSamples);
    };
    const std::size_t count = levels.blocks.size();
    std::size_t b = 0;
    while (b < count) {
        if (!(levels.blocks[b].rms < threshold)) {
            ++b;
            continue;
        }
        const std::size_t first = b;
        while (b < count && levels.blocks[b].rms < threshold)
            ++b;
        const Silence run { blockStart(first), blockStart(b) };
        if (run.end > run.start && run.end - run.start >= std::max<std::int64_t>(minSamples, 1))
            silences.push_back(run);
    }
    return silences;
}

std::vector<std::int64_t> SilenceCuts(
    const std::vector<Silence>& silences, std::int64_t totalSamples, double fraction)
{
    std::vector<std::int64_t> cuts;
    const double at = std::clamp(fraction, 0.0, 1.0);
    for (const Silence& s : silences) {
        if (s.start <= 0 || s.end >= totalSamples)
            continue;
        cuts.push_back(s.start + std::llround(at * static_cast<double>(s.end - s.start)));
    }
    return cuts;
}

std::pair<std::int64_t, std::int64_t> TrimPiece(
    const std::vector<Silence>& silences, std::int64_t a, std::int64_t b, std::int64_t keep)
{
    // The silences are sorted and disjoint: the one holding sample a, and the one holding b - 1.
    const auto holding = [&](std::int64_t sample) -> const Silence* {
        const auto it = std::upper_bound(silences.begin(), silences.end(), sample,
            [](std::int64_t s, const Silence& silence) { return s < silence.start; });
        if (it == silences.begin() || std::prev(it)->end <= sample)
            return nullptr;
        return &*std::prev(it);
    };
    if (b <= a)
        return { a, b };
    const Silence* lead = holding(a);
    const Silence* trail = holding(b - 1);
    if (lead && lead->end >= b)
        return { a, b };
    std::int64_t start = a;
    std::int64_t end = b;
    keep = std::max<std::int64_t>(keep, 0);
    if (lead)
        start = std::max(a, lead->end - keep);
    if (trail)
        end = std::min(b, trail->start + keep);
    return { start, end };
}

} // namespace parvex
