// SPDX-License-Identifier: GPL-3.0-or-later
// --chunk: cuts about every `desired` samples, each placed in a pause where there is one.
#pragma once

#include "silences.h"

#include <cstdint>
#include <vector>

namespace parvex {

// inSilence false: no silence started in the window, so the cut is at `desired` from the one
// before (the caller warns).
struct ChunkCut
{
    std::int64_t sample = 0;
    bool inSilence = true;
    friend bool operator==(const ChunkCut&, const ChunkCut&) = default;
};

// Each cut at the middle of the first silence that starts at least `desired` and less than
// `max` samples after the previous cut (measured from that cut, not on a grid, so that one late
// pause does not shorten the next piece); none there -> at previous + desired. A silence that
// reaches the end gives no cut. A last piece shorter than desired / 2 joins the one before.
std::vector<ChunkCut> PlanChunks(const std::vector<Silence>& silences, std::int64_t totalSamples,
    std::int64_t desired, std::int64_t max);

} // namespace parvex
