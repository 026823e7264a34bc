// SPDX-License-Identifier: GPL-3.0-or-later
// CUE sheets written from a plan: their text, and that the reader brings every start back.
#include "cuereader.h"
#include "cuetime.h"
#include "cuewriter.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace parvex;

TEST(CueWriter, writesUtf8WithIndex00BeforeAFirstTrackNotAtZero)
{
    const CueExport sheet { "mix \"live\".mp3", "Late \"Set\"", "", 44100,
        { { "Opener", "DJ Q", 44100 }, { "Line\nbreak", "", 270024300 + 293 } } };
    EXPECT_EQ(WriteCueSheet(sheet), R"(TITLE "Late 'Set'"
FILE "mix "live".mp3" MP3
  TRACK 01 AUDIO
    TITLE "Opener"
    PERFORMER "DJ Q"
    INDEX 00 00:00:00
    INDEX 01 00:01:00
  TRACK 02 AUDIO
    TITLE "Line break"
    INDEX 01 102:03:00
)");
}

TEST(CueWriter, readBackMovesNoStartMoreThanHalfAFrame)
{
    std::srand(14);
    for (const int rate : { 44100, 48000, 32000, 22050, 11025 }) {
        CueExport sheet { "mix.mp3", "Album", "Artist", rate, {} };
        std::int64_t start = 1 + std::rand() % rate; // the first track is not at zero
        for (int i = 0; i < 40;
             ++i, start += rate / 10 + std::int64_t { std::rand() } % (rate * 400LL))
            sheet.tracks.push_back({ "Track " + std::to_string(i), "", start });
        ASSERT_GT(sheet.tracks.back().startSample, 100LL * 60 * rate); // minutes past 99

        const CueReadResult read = ReadCueSheet(WriteCueSheet(sheet), "export.cue");
        ASSERT_EQ(read.error, "");
        const auto& tracks = read.sheet->files.at(0).tracks;
        ASSERT_EQ(tracks.size(), sheet.tracks.size());
        EXPECT_EQ(tracks[0].index00, 0);
        for (std::size_t i = 0; i < tracks.size(); ++i) {
            const std::int64_t moved
                = CueFramesToSample(tracks[i].index01, rate) - sheet.tracks[i].startSample;
            EXPECT_LE(std::llabs(moved) * 150, rate) << rate << " track " << i;
            EXPECT_EQ(tracks[i].title, sheet.tracks[i].title);
        }
    }
}
