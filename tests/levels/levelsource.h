// SPDX-License-Identifier: GPL-3.0-or-later
// MP3 sources for the level tests: sounds and silences at known samples, encoded with lame.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace parvex {

struct SourceSegment
{
    enum class Kind {
        Silence, // the floor alone
        Tone, // a 440 Hz sine on both channels
        Noise, // white noise on both channels
        RightOnly, // the right channel's tone, the left channel's floor
    };
    double seconds = 1;
    Kind kind = Kind::Tone;
    // RMS in dBFS of the sound; every segment also carries the floor.
    double db = -6;
};

struct SegmentedSource
{
    std::vector<std::int64_t> starts; // each segment's first sample; then the total
};

// Writes the segments (stereo, white noise at `floorDb` under all of them) and encodes them with
// lame. ADD_FAILURE and an empty result when lame fails.
SegmentedSource MakeSegmentedMp3(const std::filesystem::path& path,
    const std::vector<SourceSegment>& segments, double floorDb, int sampleRate = 44100,
    const std::vector<std::string>& lameArgs = { "-b", "128" });

} // namespace parvex
