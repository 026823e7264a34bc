// A long stream's index is walked in two halves at once; what comes out is what one walk gives.
#include "bytecrcs.h"
#include "exactfixtures.h"
#include "mp3fixture.h"
#include "streamscan.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class SplitWalk : public testing::Test
{
protected:
    // 40 copies of a 10-second CBR 128 file: 6.4 MB, past the size where the walk splits.
    void SetUp() override
    {
        std::string error;
        const auto piece = m_dir / "piece.mp3";
        ASSERT_TRUE(MakeMp3(piece, { .seconds = 10.0 }, &error)) << error;
        const auto bytes = ReadAll(piece);
        for (int i = 0; i < 40; ++i)
            m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }

    // The index of `bytes` walked whole (in halves) and walked to a mark past its end (one walk).
    void expectOneWalksIndex(const std::vector<char>& bytes)
    {
        const auto path = m_dir / "long.mp3";
        WriteBytes(path, bytes);
        const IndexOutcome halves = IndexMp3Stream(path.string());
        const IndexOutcome one = IndexMp3Stream(path.string(), 100000);
        ASSERT_EQ(halves.index.has_value(), one.index.has_value());
        if (!one.index) {
            EXPECT_EQ(halves.refusal, one.refusal);
            return;
        }
        const StreamIndex& a = *halves.index;
        const StreamIndex& b = *one.index;
        ASSERT_EQ(a.frames.size(), b.frames.size());
        for (std::size_t i = 0; i < a.frames.size(); ++i) {
            ASSERT_EQ(a.frames[i].offset, b.frames[i].offset) << i;
            ASSERT_EQ(a.frames[i].header.word(), b.frames[i].header.word()) << i;
            ASSERT_EQ(a.frames[i].mainDataBegin, b.frames[i].mainDataBegin) << i;
        }
        EXPECT_EQ(a.skippedBytes, b.skippedBytes);
        EXPECT_EQ(a.audioEnd, b.audioEnd);
        EXPECT_EQ(a.gapless.totalSamples, b.gapless.totalSamples);
        EXPECT_EQ(a.byteCrcs.origin, b.byteCrcs.origin);
        EXPECT_EQ(a.byteCrcs.atSteps, b.byteCrcs.atSteps);
        EXPECT_GT(a.byteCrcs.atSteps.size(), std::size_t { 700 });
    }

    TempDir m_dir;
    std::vector<char> m_bytes;
};

TEST_F(SplitWalk, givesOneWalksFramesCrcsAndRefusals)
{
    expectOneWalksIndex(m_bytes);

    // Damage across the middle (both halves resync to the same frame) and in the second half.
    std::vector<char> damaged = m_bytes;
    const auto middle = damaged.begin() + std::ssize(damaged) / 2;
    std::fill(middle - 20000, middle + 20000, '\0');
    const auto threeQuarters = damaged.begin() + std::ssize(damaged) * 3 / 4;
    std::fill(threeQuarters, threeQuarters + 5000, '\0');
    expectOneWalksIndex(damaged);

    // A sample rate that changes in the second half is refused as by one walk.
    std::string error;
    const auto other = m_dir / "other.mp3";
    ASSERT_TRUE(MakeMp3(other, { .seconds = 2.0, .sampleRate = 48000 }, &error)) << error;
    std::vector<char> joined = m_bytes;
    const auto tail = ReadAll(other);
    joined.insert(joined.end(), tail.begin(), tail.end());
    expectOneWalksIndex(joined);
}

} // namespace
