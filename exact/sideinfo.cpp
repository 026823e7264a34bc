// SPDX-License-Identifier: GPL-3.0-or-later
// ISO/IEC 11172-3 2.4.1.7 and 13818-3 2.4.1.7: only main_data_begin and part2_3_length are
// kept; the other fields are stepped over by their widths.
#include "sideinfo.h"

#include "frameheader.h"

namespace parvex {

namespace {

class BitReader
{
public:
    explicit BitReader(const std::uint8_t* bytes)
        : m_bytes(bytes)
    { }

    int read(int bits)
    {
        int value = 0;
        for (int i = 0; i < bits; ++i, ++m_bit) {
            const int byte = m_bytes[m_bit / 8];
            value = (value << 1) | ((byte >> (7 - m_bit % 8)) & 1);
        }
        return value;
    }
    void skip(int bits) { m_bit += bits; }

private:
    const std::uint8_t* m_bytes;
    int m_bit = 0;
};

// big_values 9, global_gain 8, scalefac_compress 4 (MPEG-1) or 9, window_switching_flag 1,
// then 22 bits either way (block type, mixed flag, two tables, subblock gains; or three
// tables and two region counts), then preflag (MPEG-1 only), scalefac_scale and
// count1table_select.
constexpr int kGranuleBitsAfterPart23Mpeg1 = 9 + 8 + 4 + 1 + 22 + 3;
constexpr int kGranuleBitsAfterPart23Lsf = 9 + 8 + 9 + 1 + 22 + 2;

} // namespace

int ReadMainDataBegin(const FrameHeader& header, const std::uint8_t* sideInfo)
{
    return header.mpeg1() ? (sideInfo[0] << 1) | (sideInfo[1] >> 7) : sideInfo[0];
}

int SideInfo::mainDataBits() const
{
    int bits = 0;
    for (int g = 0; g < granules; ++g) {
        for (int c = 0; c < channels; ++c)
            bits += part23Lengths[static_cast<std::size_t>(g)][static_cast<std::size_t>(c)];
    }
    return bits;
}

std::optional<SideInfo> ParseSideInfo(const FrameHeader& header, const std::uint8_t* sideInfo)
{
    if (header.layer() != 3)
        return std::nullopt;
    BitReader bits(sideInfo);
    SideInfo info;
    info.channels = header.channels();
    info.granules = header.mpeg1() ? 2 : 1;
    const bool mono = info.channels == 1;
    if (header.mpeg1()) {
        info.mainDataBegin = bits.read(9);
        bits.skip((mono ? 5 : 3) + 4 * info.channels); // private bits, scfsi
    } else {
        info.mainDataBegin = bits.read(8);
        bits.skip(mono ? 1 : 2); // private bits
    }
    const int rest = header.mpeg1() ? kGranuleBitsAfterPart23Mpeg1 : kGranuleBitsAfterPart23Lsf;
    for (std::size_t g = 0; g < static_cast<std::size_t>(info.granules); ++g) {
        for (std::size_t c = 0; c < static_cast<std::size_t>(info.channels); ++c) {
            info.part23Lengths[g][c] = bits.read(12);
            bits.skip(rest);
        }
    }
    return info;
}

} // namespace parvex
