// SPDX-License-Identifier: GPL-3.0-or-later
// The level summary of an MP3: (min, max, RMS) per 10 ms of its gapless decode, for the silence
// and chunk planners and the waveform.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace parvex {

// One block = 10 ms of audio (sampleRate / 100 samples; the last block may be shorter). min and
// max are over all channels; rms is the RMS of the loudest channel over the block, rounded, on
// the int16 scale (0 .. 32768).
struct LevelBlock
{
    std::int16_t min = 0, max = 0;
    std::uint16_t rms = 0;
    friend bool operator==(const LevelBlock&, const LevelBlock&) = default;
};

struct LevelSummary
{
    // Blocks per coarse block: 0.64 s at any rate, for a waveform of the whole file.
    static constexpr int kCoarseBlocks = 64;

    int sampleRate = 0, channels = 0, blockSamples = 0;
    // The length of the gapless decode, on the exact engine's timeline.
    std::int64_t totalSamples = 0;
    std::vector<LevelBlock> blocks;
    // One per kCoarseBlocks blocks (the last may summarise fewer): min of the mins, max of the
    // maxes, RMS of the blocks' RMS. Derived from `blocks`; not kept in the cache.
    std::vector<LevelBlock> coarse;
};

// The blocks a running decode has finished, for a waveform that shows them before the summary
// is done. `blocks` is the summary's storage, sized from the scanned length; each decoding thread
// fills one run of it from its `begin` on, and the blocks before its `end` are final (a one-pass
// decode leaves the second run empty). Every run begins on a coarse block boundary. Valid only
// during the call that hands it over.
struct LevelBlocksSoFar
{
    struct Run
    {
        std::size_t begin = 0, end = 0;
    };
    int sampleRate = 0, channels = 0, blockSamples = 0;
    std::int64_t totalSamples = 0; // as scanned; the decode may end a little elsewhere
    const LevelBlock* blocks = nullptr;
    std::size_t blockCount = 0;
    std::array<Run, 2> runs;
};

// `report` (may be empty) is called on the calling thread with a fraction in [0, 1], a few
// hundred times at most, and `partial` (may be empty) right after it with the blocks finished so
// far; `cancel`, when set, is read between frames.
struct LevelProgress
{
    std::function<void(double fraction)> report;
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(const LevelBlocksSoFar& soFar)> partial = nullptr;
};

// Decodes the whole MP3 with libmpg123 in gapless mode (so sample positions are the exact
// engine's) and summarises it. nullopt and a sentence in *error when it cannot be decoded or was
// cancelled. A long MPEG-1 stereo stream is decoded as two halves on two threads.
std::optional<LevelSummary> SummariseLevels(
    const std::string& path, const LevelProgress& progress, std::string* error);

// Fills `coarse` from `blocks`.
void BuildCoarseLevels(LevelSummary& summary);
// One coarse block from the blocks [first, last) (not empty).
LevelBlock CoarseBlockOf(const LevelBlock* first, const LevelBlock* last);

} // namespace parvex
