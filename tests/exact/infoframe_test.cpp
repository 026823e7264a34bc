// SPDX-License-Identifier: GPL-3.0-or-later
// The Xing/Info + LAME frame: read from LAME's own files, written back byte for byte, and
// written anew for a stream of other frames.
#include "bigendian.h"
#include "crc16.h"
#include "exactfixtures.h"
#include "frameheader.h"
#include "infoframe.h"
#include "mp3fixture.h"
#include "streamscan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace parvex {

namespace {

std::vector<SourceKind> kindsWithInfoFrame()
{
    std::vector<SourceKind> kinds;
    std::copy_if(SourceKinds().begin(), SourceKinds().end(), std::back_inserter(kinds),
        [](const SourceKind& kind) { return kind.hasInfoFrame; });
    return kinds;
}

class InfoFrameOfLameSource : public testing::TestWithParam<SourceKind>
{
protected:
    void SetUp() override
    {
        const auto path = m_dir / "source.mp3";
        std::string error;
        ASSERT_TRUE(MakeMp3(path, GetParam().options, &error)) << error;
        const auto bytes = ReadAll(path);
        m_bytes.assign(bytes.begin(), bytes.end());
        const IndexOutcome outcome = IndexMp3Stream(path.string());
        ASSERT_TRUE(outcome.index);
        m_frames = outcome.index->frames.size();
        m_audioStart = outcome.index->frames[0].offset;
    }

    TempDir m_dir;
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_frames = 0;
    std::int64_t m_audioStart = 0;
};

TEST_P(InfoFrameOfLameSource, parsesLamesFieldsAndBothCrcs)
{
    const auto parsed = ParseInfoFrame(m_bytes.data(), m_bytes.size());
    ASSERT_TRUE(parsed);
    const InfoFrame& info = parsed->frame;
    EXPECT_EQ(info.vbr, GetParam().vbr);
    EXPECT_EQ(info.flags, 0x0Fu);
    EXPECT_EQ(info.frames, m_frames);
    EXPECT_EQ(info.bytes, m_bytes.size());
    EXPECT_TRUE(std::is_sorted(info.toc.begin(), info.toc.end()));
    ASSERT_TRUE(info.lame);
    EXPECT_EQ(std::string(info.lame->encoder.data(), 4), "LAME");
    EXPECT_EQ(info.lame->musicLength, m_bytes.size());
    const auto audio = static_cast<std::size_t>(m_audioStart);
    EXPECT_EQ(info.lame->musicCrc, Crc16Arc(m_bytes.data() + audio, m_bytes.size() - audio));
    EXPECT_TRUE(parsed->tagCrcValid);
    EXPECT_TRUE(parsed->frameCrcValid);
}

TEST_P(InfoFrameOfLameSource, writesLamesFrameBackByteForByte)
{
    const auto parsed = ParseInfoFrame(m_bytes.data(), m_bytes.size());
    ASSERT_TRUE(parsed);
    const std::vector<std::uint8_t> written = WriteInfoFrame(parsed->frame);
    ASSERT_EQ(written.size(), static_cast<std::size_t>(m_audioStart));
    EXPECT_TRUE(std::equal(written.begin(), written.end(), m_bytes.begin()));
}

// A piece's frame: the stream's header facts, peak and gains zeroed, new counts.
TEST_P(InfoFrameOfLameSource, writesAFrameForAPieceThatReadsBack)
{
    const auto source = ParseInfoFrame(m_bytes.data(), m_bytes.size());
    ASSERT_TRUE(source);
    const auto stream = FrameHeader::parse(ReadBigEndian32(m_bytes.data() + m_audioStart)).value();
    const auto header = InfoFrameHeader(stream, !GetParam().vbr);
    ASSERT_TRUE(header);
    InfoFrame piece = source->frame;
    piece.header = *header;
    piece.frames = 17;
    piece.bytes = 12345;
    piece.lame->peak = 0;
    piece.lame->radioGain = 0;
    piece.lame->audiophileGain = 0;
    piece.lame->delay = 4095;
    piece.lame->padding = 1;
    piece.lame->musicLength = 12345;
    piece.lame->musicCrc = 0xBEEF;

    const std::vector<std::uint8_t> written = WriteInfoFrame(piece);
    ASSERT_FALSE(written.empty());
    const auto parsed = ParseInfoFrame(written.data(), written.size());
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->frameCrcValid);
    EXPECT_TRUE(parsed->tagCrcValid);
    EXPECT_EQ(parsed->frame.frames, 17u);
    EXPECT_EQ(parsed->frame.bytes, 12345u);
    EXPECT_EQ(parsed->frame.toc, source->frame.toc);
    EXPECT_EQ(parsed->frame.lame->delay, 4095);
    EXPECT_EQ(parsed->frame.lame->padding, 1);
    EXPECT_EQ(parsed->frame.lame->peak, 0u);
    EXPECT_EQ(parsed->frame.lame->musicCrc, 0xBEEF);
    EXPECT_EQ(parsed->frame.lame->encoder, source->frame.lame->encoder);

    const auto own = FrameHeader::parse(*header).value();
    EXPECT_TRUE(own.sameStream(stream));
    EXPECT_EQ(own.crcProtected(), stream.crcProtected());
    EXPECT_EQ(own.mono(), stream.mono());
    EXPECT_FALSE(own.padded());
    EXPECT_EQ((own.word() >> 4) & 3u, 0u) << "mode extension";
    if (!GetParam().vbr) {
        EXPECT_EQ(own.bitrateIndex(), stream.bitrateIndex());
    } else {
        const auto smaller = FrameHeader::parse(own.word() - 0x1000u);
        ASSERT_TRUE(smaller);
        EXPECT_LT(smaller->frameBytes(), 4 + own.sideInfoBytes() + 156);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, InfoFrameOfLameSource, testing::ValuesIn(kindsWithInfoFrame()),
    [](const auto& row) { return row.param.name; });

TEST(InfoFrame, tocPlacesEachPercentOfTheFramesInTwoHundredFiftySixthsOfTheBytes)
{
    // 150 frames after a 100-byte Info frame: 110 of 50 bytes, then 40 of 250 bytes.
    const auto offset = [](std::size_t k) {
        return static_cast<std::int64_t>(k <= 110 ? 100 + 50 * k : 5600 + 250 * (k - 110));
    };
    const auto toc = MakeToc(150, 15600, offset);
    EXPECT_EQ(toc[0], 1); // frame 0 at 100: 256 x 100 / 15600
    EXPECT_EQ(toc[33], 41); // frame 49 (49.5 rounded down) at 2550
    EXPECT_EQ(toc[80], 132); // frame 120 at 8100
    EXPECT_EQ(toc[99], 247); // frame 148 at 15100
    EXPECT_TRUE(std::is_sorted(toc.begin(), toc.end()));
}

TEST(InfoFrame, parserAndWriterRefuseWhatIsNotOneOrDoesNotFit)
{
    std::vector<std::uint8_t> frame(417, 0);
    WriteBigEndian32(frame.data(), 0xFFFB9064u);
    EXPECT_FALSE(ParseInfoFrame(frame.data(), frame.size()));
    std::memcpy(frame.data() + 36, "Info", 4);
    WriteBigEndian32(frame.data() + 40, 0x0Fu);
    EXPECT_TRUE(ParseInfoFrame(frame.data(), frame.size()));
    EXPECT_FALSE(ParseInfoFrame(frame.data(), 100));

    InfoFrame tooBig;
    tooBig.header = 0xFFF310C4u; // MPEG-2 8 kbit/s: 26 bytes
    tooBig.lame = LameTag {};
    EXPECT_TRUE(WriteInfoFrame(tooBig).empty());

    InfoFrame longDelay;
    longDelay.header = 0xFFFB9064u;
    longDelay.lame = LameTag {};
    EXPECT_FALSE(WriteInfoFrame(longDelay).empty());
    longDelay.lame->delay = 4096;
    EXPECT_TRUE(WriteInfoFrame(longDelay).empty());
}

} // namespace

} // namespace parvex
