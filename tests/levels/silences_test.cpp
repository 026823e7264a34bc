// SPDX-License-Identifier: GPL-3.0-or-later
// Silence detection on a decoded source with silences at known samples, and the cut and trim
// rules on silences written by hand.
#include "levelsource.h"
#include "levelsummary.h"
#include "mp3fixture.h"
#include "silences.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace parvex;

namespace {

using Kind = SourceSegment::Kind;

// Sounds and pauses over a floor at -60 dBFS, decoded once for the suite.
class FindSilencesInSource : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempDir;
        s_source = MakeSegmentedMp3(*s_dir / "source.mp3",
            {
                { 1.0, Kind::Silence }, // 0: leading
                { 3.0, Kind::Tone, -6 }, { 1.5, Kind::Silence }, // 2
                { 2.0, Kind::Tone, -35 }, // 3: quiet, over -40 dB, under -30 dB
                { 0.6, Kind::Silence }, // 4: shorter than a second
                { 2.0, Kind::Noise, -20 },
                { 1.5, Kind::RightOnly, -20 }, // 6: one channel silent is not silence
                { 2.0, Kind::Silence }, // 7
                { 2.0, Kind::Tone, -6 }, { 1.2, Kind::Silence }, // 9: trailing
            },
            -60);
        std::string error;
        s_levels = new LevelSummary(*SummariseLevels(*s_dir / "source.mp3", {}, &error));
    }
    static void TearDownTestSuite()
    {
        delete s_levels;
        delete s_dir;
    }

    // The true span of segments [first, last].
    static Silence span(std::size_t first, std::size_t last)
    {
        return { s_source.starts[first], s_source.starts[last + 1] };
    }

    static void expectNear(const std::vector<Silence>& found, const std::vector<Silence>& truth)
    {
        ASSERT_EQ(found.size(), truth.size());
        // Each edge within one 10 ms block of the truth.
        for (std::size_t i = 0; i < truth.size(); ++i) {
            EXPECT_LE(std::abs(found[i].start - truth[i].start), 441) << "silence " << i;
            EXPECT_LE(std::abs(found[i].end - truth[i].end), 441) << "silence " << i;
        }
    }

    static inline TempDir* s_dir = nullptr;
    static inline SegmentedSource s_source;
    static inline LevelSummary* s_levels = nullptr;
};

} // namespace

TEST_F(FindSilencesInSource, findsEachPauseAtLeastMinLongWithinABlock)
{
    expectNear(
        FindSilences(*s_levels, -40, 1.0), { span(0, 0), span(2, 2), span(7, 7), span(9, 9) });
    expectNear(FindSilences(*s_levels, -40, 0.5),
        { span(0, 0), span(2, 2), span(4, 4), span(7, 7), span(9, 9) });
}

TEST_F(FindSilencesInSource, thresholdDecidesWhatCountsAsSilent)
{
    // At -30 dB the quiet tone is silence too and joins the pauses around it into one run.
    expectNear(
        FindSilences(*s_levels, -30, 1.0), { span(0, 0), span(2, 4), span(7, 7), span(9, 9) });
    // Under the floor nothing is silent.
    EXPECT_TRUE(FindSilences(*s_levels, -70, 0.1).empty());
}

// Hand-made blocks: the run length rule exactly, and the last, short block.
TEST(FindSilences, keepsRunsAtLeastMinSecondsAndEndsAtTheTotal)
{
    LevelSummary levels;
    levels.sampleRate = 100 * 10;
    levels.blockSamples = 10;
    levels.totalSamples = 10 * 9 + 4;
    const std::uint16_t loud = 3000, quiet = 10; // -20.8 and -70.3 dBFS
    for (const std::uint16_t rms :
        { loud, quiet, quiet, loud, quiet, quiet, quiet, loud, quiet, quiet })
        levels.blocks.push_back({ 0, 0, rms });
    EXPECT_EQ(FindSilences(levels, -40, 0.03), (std::vector<Silence> { { 40, 70 } }));
    EXPECT_TRUE(FindSilences(levels, -40, 0.031).empty());
    EXPECT_EQ(FindSilences(levels, -40, 0.01),
        (std::vector<Silence> { { 10, 30 }, { 40, 70 }, { 80, 94 } }));
}

TEST(SilenceCuts, placesEachCutAtTheFractionAndSkipsSilencesAtTheEdges)
{
    const std::vector<Silence> silences { { 0, 100 }, { 1000, 2001 }, { 5000, 6000 } };
    EXPECT_EQ(SilenceCuts(silences, 6000, 0.0), (std::vector<std::int64_t> { 1000 }));
    EXPECT_EQ(SilenceCuts(silences, 6000, 0.5), (std::vector<std::int64_t> { 1501 }));
    EXPECT_EQ(SilenceCuts(silences, 6000, 1.0), (std::vector<std::int64_t> { 2001 }));
    EXPECT_EQ(SilenceCuts(silences, 6001, 0.5), (std::vector<std::int64_t> { 1501, 5500 }));
}

using Span = std::pair<std::int64_t, std::int64_t>;

TEST(TrimPiece, dropsLeadingAndTrailingSilenceBeyondKeep)
{
    const std::vector<Silence> silences { { 0, 1000 }, { 5000, 7000 }, { 9000, 10000 } };
    EXPECT_EQ(TrimPiece(silences, 0, 7000, 100), (Span { 900, 5100 }));
    // A piece that starts and ends inside silences.
    EXPECT_EQ(TrimPiece(silences, 6000, 9500, 100), (Span { 6900, 9100 }));
    // keep longer than the silence: nothing of it goes.
    EXPECT_EQ(TrimPiece(silences, 0, 7000, 5000), (Span { 0, 7000 }));
    // No silence at the ends, or silent throughout: unchanged.
    EXPECT_EQ(TrimPiece(silences, 1500, 4000, 100), (Span { 1500, 4000 }));
    EXPECT_EQ(TrimPiece(silences, 5200, 6800, 100), (Span { 5200, 6800 }));
}
