// SPDX-License-Identifier: GPL-3.0-or-later
// The Layer III side information fields that locate a frame's main data.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace parvex {

class FrameHeader;

struct SideInfo
{
    // Bytes before this frame's side information where its main data starts, counted in the
    // main-data bytes of earlier frames (headers, CRC words and side information excluded).
    int mainDataBegin = 0;
    int granules = 0; // 2 in MPEG-1, 1 in MPEG-2/2.5
    int channels = 0;
    // Bits of scale factors and Huffman data per granule and channel.
    std::array<std::array<int, 2>, 2> part23Lengths {};

    int mainDataBits() const;
};

// The first field alone, for the frame index's pass: 9 bits in MPEG-1, 8 in MPEG-2/2.5.
int ReadMainDataBegin(const FrameHeader& header, const std::uint8_t* sideInfo);

// Reads the side information that follows the header (and CRC word) of a Layer III frame;
// `sideInfo` holds at least header.sideInfoBytes() bytes. Nullopt for Layers I and II.
std::optional<SideInfo> ParseSideInfo(const FrameHeader& header, const std::uint8_t* sideInfo);

} // namespace parvex
