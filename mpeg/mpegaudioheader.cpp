// SPDX-License-Identifier: GPL-3.0-or-later
// MPEG audio frame header fields and frame lengths (ISO/IEC 11172-3 and 13818-3).
#include "mpegaudioheader.h"

#include <array>

namespace parvex {

namespace {

// kbit/s by bitrate index; index 0 (free format) and 15 (invalid) are refused before lookup.
constexpr std::array<std::array<int, 15>, 5> kBitrates { {
    { 0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448 }, // MPEG-1 Layer I
    { 0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384 }, // MPEG-1 Layer II
    { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 }, // MPEG-1 Layer III
    { 0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256 }, // MPEG-2/2.5 Layer I
    { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 }, // MPEG-2/2.5 Layer II, III
} };

constexpr std::array<int, 3> kMpeg1Rates { 44100, 48000, 32000 };

int bitrateKbps(int version, int layer, unsigned index)
{
    const std::size_t table
        = version == 10 ? static_cast<std::size_t>(layer - 1) : (layer == 1 ? 3u : 4u);
    return kBitrates[table][index];
}

} // namespace

std::optional<MpegAudioHeader> MpegAudioHeader::parse(std::uint32_t word)
{
    if ((word & 0xFFE00000u) != 0xFFE00000u)
        return std::nullopt;
    const unsigned versionBits = (word >> 19) & 3u;
    const unsigned layerBits = (word >> 17) & 3u;
    const unsigned bitrateIndex = (word >> 12) & 15u;
    const unsigned rateIndex = (word >> 10) & 3u;
    const unsigned padding = (word >> 9) & 1u;
    const unsigned emphasis = word & 3u;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15
        || rateIndex == 3 || emphasis == 2)
        return std::nullopt;

    MpegAudioHeader h;
    h.version = versionBits == 3 ? 10 : (versionBits == 2 ? 20 : 25);
    h.layer = static_cast<int>(4 - layerBits);
    const int divisor = h.version == 10 ? 1 : (h.version == 20 ? 2 : 4);
    h.sampleRate = kMpeg1Rates[rateIndex] / divisor;
    const int bitsPerSecond = bitrateKbps(h.version, h.layer, bitrateIndex) * 1000;
    const int pad = static_cast<int>(padding);
    if (h.layer == 1)
        h.frameBytes = (12 * bitsPerSecond / h.sampleRate + pad) * 4;
    else if (h.layer == 3 && h.version != 10)
        h.frameBytes = 72 * bitsPerSecond / h.sampleRate + pad;
    else
        h.frameBytes = 144 * bitsPerSecond / h.sampleRate + pad;
    return h;
}

} // namespace parvex
