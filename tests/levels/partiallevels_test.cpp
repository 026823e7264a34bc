// SPDX-License-Identifier: GPL-3.0-or-later
// The blocks handed over while a summary decodes, laid into a partial summary: the same blocks
// and coarse blocks as the finished summary wherever they arrived, in one pass and in two halves.
#include "levelsource.h"
#include "levelsummarydecode.h"
#include "mp3fixture.h"
#include "partiallevels.h"

#include <gtest/gtest.h>

#include <optional>

using namespace parvex;

TEST(PartialLevels, holdTheFinishedSummarysBlocksWhereTheyArrived)
{
    TempDir dir;
    const auto path = dir / "source.mp3";
    ASSERT_FALSE(MakeSegmentedMp3(path,
        { { 3.3, SourceSegment::Kind::Noise, -12 }, { 1.1, SourceSegment::Kind::Silence },
            { 4.6, SourceSegment::Kind::Tone, -3 } },
        -60)
                     .starts.empty());
    for (const auto threads : { LevelThreads::One, LevelThreads::Two }) {
        std::array<std::size_t, 2> sent {};
        std::optional<PartialLevels> partial;
        LevelProgress progress;
        progress.partial = [&](const LevelBlocksSoFar& soFar) {
            for (const auto& run : soFar.runs)
                EXPECT_EQ(run.begin % LevelSummary::kCoarseBlocks, 0U);
            for (const LevelBlocksChunk& chunk : TakeNewBlocks(soFar, sent)) {
                if (!partial)
                    partial.emplace(chunk);
                EXPECT_TRUE(partial->add(chunk));
            }
        };
        std::string error;
        const auto levels = SummariseLevelsWith(path, progress, &error, threads);
        ASSERT_TRUE(levels) << error;
        ASSERT_TRUE(partial);
        const LevelSummary& shown = *partial->summary();
        EXPECT_EQ(shown.totalSamples, levels->totalSamples);
        ASSERT_EQ(shown.blocks.size(), levels->blocks.size());
        ASSERT_FALSE(partial->decoded().empty());
        for (const auto& [begin, end] : partial->decoded()) {
            ASSERT_LT(begin, end);
            for (auto b = begin / shown.blockSamples; b * shown.blockSamples < end; ++b)
                ASSERT_EQ(shown.blocks[std::size_t(b)], levels->blocks[std::size_t(b)]) << b;
            const std::int64_t coarse = std::int64_t { shown.blockSamples } * 64;
            for (auto c = begin / coarse; c * coarse < end; ++c)
                ASSERT_EQ(shown.coarse[std::size_t(c)], levels->coarse[std::size_t(c)]) << c;
        }
        LevelBlocksChunk other { 48000, 2, 480, 480000, 1000, 0, {} };
        EXPECT_FALSE(partial->add(other));
    }
}
