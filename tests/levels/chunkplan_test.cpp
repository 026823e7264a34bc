// SPDX-License-Identifier: GPL-3.0-or-later
// The chunk planner's rules on silences written by hand (desired 100, max 125 samples).
#include "chunkplan.h"

#include <gtest/gtest.h>

using namespace parvex;

// Each window is measured from the cut before: the second pause at 230 is in [211, 236) after
// the cut at 111, though a grid of 100s would have looked in [200, 225).
TEST(PlanChunks, cutsInTheMiddleOfTheFirstPauseStartingInTheWindowFromThePreviousCut)
{
    const std::vector<Silence> silences { { 90, 95 }, { 110, 112 }, { 118, 124 }, { 230, 234 },
        { 350, 400 } };
    EXPECT_EQ(PlanChunks(silences, 440, 100, 125),
        (std::vector<ChunkCut> { { 111, true }, { 232, true }, { 375, true } }));
}

TEST(PlanChunks, cutsAtDesiredAndFlagsItWhenNoPauseStartsInTheWindow)
{
    // One pause starts too late (at max), one reaches the end of the source.
    const std::vector<Silence> silences { { 125, 130 }, { 210, 300 } };
    EXPECT_EQ(PlanChunks(silences, 300, 100, 125),
        (std::vector<ChunkCut> { { 100, false }, { 200, false } }));
}

TEST(PlanChunks, joinsALastPieceShorterThanHalfDesiredToTheOneBefore)
{
    const std::vector<Silence> silences { { 110, 112 } };
    // 340 - 211 = 129 is cut at 211 + 100; the 29 left join the piece before.
    EXPECT_EQ(PlanChunks(silences, 340, 100, 125),
        (std::vector<ChunkCut> { { 111, true }, { 211, false } }));
    EXPECT_EQ(PlanChunks(silences, 261, 100, 125),
        (std::vector<ChunkCut> { { 111, true }, { 211, false } }));
    EXPECT_EQ(PlanChunks(silences, 260, 100, 125), (std::vector<ChunkCut> { { 111, true } }));
    EXPECT_TRUE(PlanChunks(silences, 100, 100, 125).empty());
}
