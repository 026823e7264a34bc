// SPDX-License-Identifier: GPL-3.0-or-later
// Silences found in a level summary, and the cuts and trims the silence planner makes of them.
#pragma once

#include "levelsummary.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace parvex {

// Samples on the gapless timeline, [start, end).
struct Silence
{
    std::int64_t start = 0, end = 0;
    friend bool operator==(const Silence&, const Silence&) = default;
};

// Runs of blocks whose RMS is under thresholdDb (dBFS; 0 dB = int16 full scale, 32767) on every
// channel, kept when at least minSeconds long. Sorted and disjoint, with at least one block
// that is not silent between two of them; edges fall on block boundaries (10 ms).
std::vector<Silence> FindSilences(
    const LevelSummary& levels, double thresholdDb, double minSeconds);

// One cut inside each silence at start + fraction * (end - start), rounded; a silence that
// touches sample 0 or the end gives none (a cut there would make an empty or silent piece).
std::vector<std::int64_t> SilenceCuts(
    const std::vector<Silence>& silences, std::int64_t totalSamples, double fraction);

// --trim: the piece [a, b) without the silence at its start and end beyond `keep` samples.
// A piece that is silent throughout is returned as it is.
std::pair<std::int64_t, std::int64_t> TrimPiece(
    const std::vector<Silence>& silences, std::int64_t a, std::int64_t b, std::int64_t keep);

} // namespace parvex
