// SPDX-License-Identifier: GPL-3.0-or-later
// The side-info walker on hand-built side information and on every frame LAME wrote.
#include "exactfixtures.h"
#include "frameheader.h"
#include "mp3fixture.h"
#include "sideinfo.h"
#include "streamscan.h"

#include <gtest/gtest.h>

#include <array>

namespace parvex {

namespace {

class BitWriter
{
public:
    void write(int bits, int value)
    {
        for (int i = bits - 1; i >= 0; --i, ++m_bit) {
            if ((value >> i) & 1)
                m_bytes[static_cast<std::size_t>(m_bit / 8)]
                    |= static_cast<std::uint8_t>(0x80 >> (m_bit % 8));
        }
    }
    // All ones, so that a misread width shows in the next field read.
    void fill(int bits)
    {
        for (int i = 0; i < bits; ++i)
            write(1, 1);
    }
    const std::uint8_t* data() const { return m_bytes.data(); }
    int bits() const { return m_bit; }

private:
    std::array<std::uint8_t, 32> m_bytes {};
    int m_bit = 0;
};

struct Layout
{
    const char* name;
    std::uint32_t header; // a frame header word of the layout
    int sideInfoBytes;
};

// MPEG-1 44.1 kHz 128 kbit/s and MPEG-2 22.05 kHz 64 kbit/s, stereo and mono.
const Layout kLayouts[] = {
    { "Mpeg1Stereo", 0xFFFB9064u, 32 },
    { "Mpeg1Mono", 0xFFFB90C4u, 17 },
    { "Mpeg2Stereo", 0xFFF38064u, 17 },
    { "Mpeg2Mono", 0xFFF380C4u, 9 },
};

class SideInfoLayout : public testing::TestWithParam<Layout>
{ };

TEST_P(SideInfoLayout, readsMainDataBeginAndPart23LengthsPastEveryOtherField)
{
    const Layout& layout = GetParam();
    const auto header = FrameHeader::parse(layout.header);
    ASSERT_TRUE(header);
    const bool mpeg1 = header->mpeg1();
    const int channels = header->channels();
    BitWriter bits;
    bits.write(mpeg1 ? 9 : 8, mpeg1 ? 0x1A5 : 0xA5);
    bits.fill(mpeg1 ? (channels == 1 ? 5 : 3) + 4 * channels : channels);
    for (int g = 0; g < (mpeg1 ? 2 : 1); ++g) {
        for (int c = 0; c < channels; ++c) {
            bits.write(12, 0x123 + 0x111 * (2 * g + c));
            bits.fill(mpeg1 ? 47 : 51);
        }
    }
    ASSERT_EQ(bits.bits(), layout.sideInfoBytes * 8);
    ASSERT_EQ(header->sideInfoBytes(), layout.sideInfoBytes);

    const auto info = ParseSideInfo(*header, bits.data());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->mainDataBegin, mpeg1 ? 0x1A5 : 0xA5);
    int expectedBits = 0;
    for (int g = 0; g < info->granules; ++g) {
        for (int c = 0; c < info->channels; ++c) {
            const int expected = 0x123 + 0x111 * (2 * g + c);
            EXPECT_EQ(info->part23Lengths[static_cast<std::size_t>(g)][static_cast<std::size_t>(c)],
                expected);
            expectedBits += expected;
        }
    }
    EXPECT_EQ(info->mainDataBits(), expectedBits);
}

INSTANTIATE_TEST_SUITE_P(Layouts, SideInfoLayout, testing::ValuesIn(kLayouts),
    [](const auto& row) { return std::string(row.param.name); });

class SideInfoOfLameFrames : public testing::TestWithParam<SourceKind>
{
protected:
    TempDir m_dir;
};

// LAME packs main data back to back: each frame's starts at or after the end of the previous
// frame's and ends within its own frame. Misread side information breaks this at once.
TEST_P(SideInfoOfLameFrames, placeEveryFramesMainDataWithinTheReservoir)
{
    const auto path = m_dir / "source.mp3";
    std::string error;
    ASSERT_TRUE(MakeMp3(path, GetParam().options, &error)) << error;
    const auto bytes = ReadAll(path);
    const IndexOutcome outcome = IndexMp3Stream(path.string());
    ASSERT_TRUE(outcome.index);
    const FrameIndex& frames = outcome.index->frames;

    std::int64_t reservoirEnd = 0; // main-data bytes of all frames so far
    std::int64_t previousEnd = 0; // where the previous frame's main data ended
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const IndexedFrame frame = frames[i];
        const auto* start = reinterpret_cast<const std::uint8_t*>(bytes.data()) + frame.offset;
        const auto info = ParseSideInfo(frame.header, start + frame.header.sideInfoOffset());
        ASSERT_TRUE(info);
        ASSERT_EQ(info->mainDataBegin, frame.mainDataBegin);
        const std::int64_t begin = reservoirEnd - info->mainDataBegin;
        const std::int64_t end = begin + (info->mainDataBits() + 7) / 8;
        reservoirEnd += frame.header.mainDataBytes();
        ASSERT_GE(begin, previousEnd) << "frame " << i;
        ASSERT_LE(end, reservoirEnd) << "frame " << i;
        previousEnd = end;
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SideInfoOfLameFrames, testing::ValuesIn(SourceKinds()),
    [](const auto& row) { return row.param.name; });

} // namespace

} // namespace parvex
