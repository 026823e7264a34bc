// SPDX-License-Identifier: GPL-3.0-or-later
// Media time: signed 64-bit counts of 100-ns units, the unit every duration and position uses.
#pragma once

#include <cstdint>

namespace parvex {

inline constexpr std::int64_t kMediaTimePerSecond = 10'000'000;

// Exact and overflow-free for any sample count: whole seconds and the remainder separately.
constexpr std::int64_t MediaTimeFromSamples(std::int64_t samples, std::int64_t sampleRate)
{
    return samples / sampleRate * kMediaTimePerSecond
        + samples % sampleRate * kMediaTimePerSecond / sampleRate;
}

// Whole seconds, truncated toward zero.
constexpr std::int64_t WholeSeconds(std::int64_t mediaTime)
{
    return mediaTime / kMediaTimePerSecond;
}

} // namespace parvex
