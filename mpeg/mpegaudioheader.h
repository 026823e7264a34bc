// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes the 32-bit header that starts every MPEG-1/2/2.5 audio frame (Layers I to III).
#pragma once

#include <cstdint>
#include <optional>

namespace parvex {

struct MpegAudioHeader
{
    int version = 0; // 10 = MPEG-1, 20 = MPEG-2, 25 = MPEG-2.5
    int layer = 0; // 1..3
    int sampleRate = 0; // Hz
    int frameBytes = 0; // whole frame, header included

    // A header that a decoder would accept: frame sync, no reserved field, no free-format
    // bitrate (its frame length is not in the header, so no chain of frames could be checked).
    static std::optional<MpegAudioHeader> parse(std::uint32_t bigEndianWord);

    // Frames of one stream keep version, layer and sample rate.
    bool sameStream(const MpegAudioHeader& other) const
    {
        return version == other.version && layer == other.layer && sampleRate == other.sampleRate;
    }
};

} // namespace parvex
