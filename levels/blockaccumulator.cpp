// SPDX-License-Identifier: GPL-3.0-or-later
// The one loop every decoded sample passes through: kept free of branches per sample apart from
// the block boundary, so that it costs a small fraction of the decode.
#include "blockaccumulator.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace parvex {

BlockAccumulator::BlockAccumulator(
    int channels, int blockSamples, LevelBlock* out, std::size_t room)
    : m_channels(channels)
    , m_blockSamples(blockSamples)
    , m_out(out)
    , m_room(room)
{
    m_min = std::numeric_limits<std::int16_t>::max();
    m_max = std::numeric_limits<std::int16_t>::min();
}

void BlockAccumulator::add(const std::int16_t* samples, std::size_t frames)
{
    // libmpg123 gives one or two channels; a stream whose mode changes is handed on as the
    // channel count of each call.
    if (m_channels == 1)
        addFrames<1>(samples, frames);
    else
        addFrames<2>(samples, frames);
}

template<int Channels>
void BlockAccumulator::addFrames(const std::int16_t* samples, std::size_t frames)
{
    while (frames > 0) {
        const auto take = std::min(frames, static_cast<std::size_t>(m_blockSamples - m_filled));
        int low = m_min;
        int high = m_max;
        std::int64_t sums[2] = { m_sumSquares[0], m_sumSquares[1] };
        for (std::size_t i = 0; i < take; ++i) {
            for (int c = 0; c < Channels; ++c) {
                const int v = samples[i * Channels + static_cast<std::size_t>(c)];
                low = std::min(low, v);
                high = std::max(high, v);
                sums[c] += v * v;
            }
        }
        m_min = low;
        m_max = high;
        m_sumSquares[0] = sums[0];
        m_sumSquares[1] = sums[1];
        m_filled += static_cast<int>(take);
        samples += take * Channels;
        frames -= take;
        if (m_filled == m_blockSamples)
            emit();
    }
}

void BlockAccumulator::finish()
{
    if (m_filled > 0)
        emit();
}

void BlockAccumulator::emit()
{
    const double meanSquare
        = static_cast<double>(std::max(m_sumSquares[0], m_sumSquares[1])) / m_filled;
    LevelBlock block;
    block.min = static_cast<std::int16_t>(m_min);
    block.max = static_cast<std::int16_t>(m_max);
    block.rms = static_cast<std::uint16_t>(std::lround(std::sqrt(meanSquare)));
    if (m_written < m_room)
        m_out[m_written] = block;
    else
        m_overflow.push_back(block);
    ++m_written;
    m_filled = 0;
    m_min = std::numeric_limits<std::int16_t>::max();
    m_max = std::numeric_limits<std::int16_t>::min();
    m_sumSquares[0] = m_sumSquares[1] = 0;
}

} // namespace parvex
