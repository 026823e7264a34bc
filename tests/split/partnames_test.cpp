// SPDX-License-Identifier: GPL-3.0-or-later
// Names and places of the numbered part files.
#include "partnames.h"

#include <gtest/gtest.h>

namespace parvex {

// A backslash is a character of a Linux file name, not a folder separator.
TEST(PartNames, fileNameIsTheTextAfterTheLastSlash)
{
    EXPECT_EQ(FileNameFromPath("/home/u/song.mp3"), "song.mp3");
    EXPECT_EQ(FileNameFromPath("a/AC\\DC - Live.mp3"), "AC\\DC - Live.mp3");
    EXPECT_EQ(FileNameFromPath("song.mp3"), "song.mp3");
    EXPECT_EQ(FileNameFromPath("music/"), "");
}

TEST(PartNames, partNameIsNumberedFromZeroWithoutPadding)
{
    EXPECT_EQ(MakePartFileName("/music/AC\\DC - Live.mp3", 0), "AC\\DC - Live_0.mp3");
    EXPECT_EQ(MakePartFileName("/music/song.mp3", 11), "song_11.mp3");
    EXPECT_EQ(MakePartFileName("/music/live.at.home.mp3", 2), "live.at.home_2.mp3");
    EXPECT_EQ(MakePartFileName("/music/song.wav", 9999), "song_9999.mp3");
}

TEST(PartNames, extensionIsCutFromTheFileNameOnly)
{
    EXPECT_EQ(MakePartFileName("/music/My.Files/track", 1), "track_1.mp3");
    EXPECT_EQ(MakePartFileName("track", 3), "track_3.mp3");
}

TEST(PartNames, outputPathGetsOneSeparatorWhenTheFolderLacksIt)
{
    EXPECT_EQ(OutputPathInFolder("/out", "song_0.mp3"), "/out/song_0.mp3");
    EXPECT_EQ(OutputPathInFolder("/out/", "song_0.mp3"), "/out/song_0.mp3");
    EXPECT_EQ(OutputPathInFolder("/out\\", "song_0.mp3"), "/out\\/song_0.mp3");
    EXPECT_EQ(OutputPathInFolder("", "song_0.mp3"), "song_0.mp3");
}

} // namespace parvex
