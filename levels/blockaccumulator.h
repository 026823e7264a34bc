// SPDX-License-Identifier: GPL-3.0-or-later
// Folds interleaved int16 samples into 10 ms level blocks, written in place into storage the
// caller sized from the scanned length, so that a 24-hour summary never reallocates.
#pragma once

#include "levelsummary.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace parvex {

// Not thread-safe; each decoding thread has its own, writing to its own part of the blocks.
class BlockAccumulator
{
public:
    // Blocks go to out[0], out[1], ... up to out[room - 1]; any after that to overflow().
    BlockAccumulator(int channels, int blockSamples, LevelBlock* out, std::size_t room);

    // `frames` samples per channel, interleaved.
    void add(const std::int16_t* samples, std::size_t frames);
    // Emits the last, shorter block if one was begun.
    void finish();

    // libmpg123 announces a stream whose channel mode changes with a new format.
    void setChannels(int channels) { m_channels = channels; }

    std::size_t blocksWritten() const { return m_written; }
    std::vector<LevelBlock>& overflow() { return m_overflow; }

private:
    template<int Channels>
    void addFrames(const std::int16_t* samples, std::size_t frames);
    void emit();

    int m_channels;
    int m_blockSamples;
    LevelBlock* m_out;
    std::size_t m_room;
    std::size_t m_written = 0;
    std::vector<LevelBlock> m_overflow;
    // The block being filled.
    int m_filled = 0;
    int m_min = 0, m_max = 0;
    std::int64_t m_sumSquares[2] = { 0, 0 };
};

} // namespace parvex
