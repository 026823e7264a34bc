// SPDX-License-Identifier: GPL-3.0-or-later
// CUE times against samples: the rounding and the minutes past 99 that other readers get wrong.
#include "cuetime.h"

#include <gtest/gtest.h>

using namespace parvex;

TEST(CueTime, framesBecomeSamplesAtEveryRate)
{
    const std::int64_t frames = ParseCueTime("03:25:37").frames;
    EXPECT_EQ(frames, 15412);
    EXPECT_EQ(CueFramesToSample(frames, 44100), 9062256);
    EXPECT_EQ(CueFramesToSample(frames, 48000), 9863680);
    EXPECT_EQ(CueFramesToSample(frames, 32000), 6575787); // 6,575,786.67 rounded
    EXPECT_EQ(CueFramesToSample(ParseCueTime("102:03:00").frames, 44100), 270024300);
    EXPECT_EQ(CueFramesToSample(ParseCueTime("102:03").frames, 44100), 270024300);
    EXPECT_EQ(ParseCueTime("0000102:03:00").frames, ParseCueTime("102:03:00").frames);
}

TEST(CueTime, samplesGoToTheNearestFrame)
{
    EXPECT_EQ(SampleToCueFrames(9062256, 44100), 15412);
    EXPECT_EQ(SampleToCueFrames(9062256 + 293, 44100), 15412);
    EXPECT_EQ(SampleToCueFrames(9062256 + 294, 44100), 15413); // half a frame rounds up
    EXPECT_EQ(SampleToCueFrames(6575787, 32000), 15412);
    EXPECT_EQ(SampleToCueFrames(1, 0), 0);
    EXPECT_EQ(FormatCueTime(SampleToCueFrames(270024300, 44100)), "102:03:00");
    EXPECT_EQ(FormatCueTime(37), "00:00:37");
}

TEST(CueTime, refusesWhatIsNoTime)
{
    EXPECT_EQ(ParseCueTime("03:25:75").error, "frames must be 0–74");
    EXPECT_EQ(ParseCueTime("03:60:00").error, "seconds must be 0–59");
    EXPECT_EQ(ParseCueTime("1000000:00:00").error, "minutes must be at most 999999");
    for (const char* text : { "3.20", "03:25:", ":25:37", "03", "03:25:37:00", "-1:00:00", "" })
        EXPECT_EQ(ParseCueTime(text).error, "time must be mm:ss:ff") << text;
}
