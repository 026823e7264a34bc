// SPDX-License-Identifier: GPL-3.0-or-later
// The header word of an MPEG audio frame with the fields exact cuts read and rewrite.
#pragma once

#include <cstdint>
#include <optional>

namespace parvex {

// A valid header (see MpegAudioHeader: sync, no reserved field, no free format) kept as its
// 32-bit big-endian word; every field is read from the word, so copies stay 4 bytes of state
// plus the decoded lengths.
class FrameHeader
{
public:
    // Layer III's longest frame: 320 kbit/s at 32 kHz, or 160 kbit/s at 8 kHz, padded.
    static constexpr int kMaxLayer3Bytes = 1441;

    static std::optional<FrameHeader> parse(std::uint32_t word);

    std::uint32_t word() const { return m_word; }
    int version() const { return m_version; } // 10 = MPEG-1, 20 = MPEG-2, 25 = MPEG-2.5
    int layer() const { return m_layer; }
    int sampleRate() const { return m_sampleRate; } // Hz
    int frameBytes() const { return m_frameBytes; } // header included
    bool mpeg1() const { return m_version == 10; }
    bool crcProtected() const { return (m_word & 0x00010000u) == 0; }
    int bitrateIndex() const { return static_cast<int>((m_word >> 12) & 15u); }
    bool padded() const { return (m_word & 0x00000200u) != 0; }
    bool mono() const { return ((m_word >> 6) & 3u) == 3u; }
    int channels() const { return mono() ? 1 : 2; }
    // Layer III: two granules of 576 samples in MPEG-1, one in MPEG-2 and 2.5.
    int samplesPerFrame() const { return mpeg1() ? 1152 : 576; }
    int sideInfoBytes() const;
    // Where the side information starts: after the header and the CRC word, if any.
    int sideInfoOffset() const { return crcProtected() ? 6 : 4; }
    // Frame bytes after the header, CRC and side information: this frame's share of main data.
    int mainDataBytes() const { return m_frameBytes - sideInfoOffset() - sideInfoBytes(); }

    // Same version, layer and sample rate: frames of one stream.
    bool sameStream(const FrameHeader& other) const;

private:
    FrameHeader() = default;

    std::uint32_t m_word = 0;
    int m_version = 0;
    int m_layer = 0;
    int m_sampleRate = 0;
    int m_frameBytes = 0;
};

} // namespace parvex
