// SPDX-License-Identifier: GPL-3.0-or-later
// Marked pieces from the silences of a source: a cut in each silence, or chunks cut in pauses.
#pragma once

#include "cutrequest.h"
#include "silences.h"

#include <cstdint>
#include <vector>

namespace parvex {

// How silence is found and where the cut goes in it.
struct SilenceSettings
{
    double thresholdDb = -40; // RMS over 10 ms, on every channel
    double minSeconds = 1.0;
    double cutAt = 0.5; // 0: where the silence starts, 1: where it ends
    bool trim = false; // drop each piece's silence at both ends beyond keepSeconds
    double keepSeconds = 0.25;
};

// One piece from the start to the first cut, between cuts and from the last cut to the end, the
// cuts `cutAt` into each silence; with `trim`, each piece without its silence at either end
// beyond `keepSeconds`. Points are samples at `sampleRate`.
CutAtMarks SilenceMarks(const std::vector<Silence>& silences, std::int64_t totalSamples,
    int sampleRate, const SilenceSettings& settings);

// Pieces of about `desired` samples, each cut in the middle of the first silence between
// `desired` and `maximum` after the cut before (see PlanChunks); trimmed as above. The cuts that
// found no silence in their window go to `unsilentCuts`.
CutAtMarks ChunkMarks(const std::vector<Silence>& silences, std::int64_t totalSamples,
    int sampleRate, std::int64_t desired, std::int64_t maximum, const SilenceSettings& settings,
    std::vector<std::int64_t>* unsilentCuts);

} // namespace parvex
