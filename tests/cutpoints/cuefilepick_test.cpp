// SPDX-License-Identifier: GPL-3.0-or-later
// Which FILE of a sheet the source is: by name without extension, or the only one with audio.
#include "cuefilepick.h"

#include <gtest/gtest.h>

using namespace parvex;

namespace {

CueSheet sheetWith(std::initializer_list<const char*> audioFiles, const char* dataFile = nullptr)
{
    CueSheet sheet;
    sheet.displayName = "album.cue";
    for (const char* name : audioFiles)
        sheet.files.push_back({ name, { CueTrack {} } });
    if (dataFile)
        sheet.files.push_back({ dataFile, {} });
    return sheet;
}

std::string picked(const CueSheet& sheet, std::string_view source)
{
    std::string error;
    const CueFile* file = PickCueFile(sheet, source, &error);
    return file ? file->name : "error: " + error;
}

} // namespace

TEST(CueFilePick, picksByNameWithoutFolderAndExtension)
{
    const CueSheet sides = sheetWith({ "side A.wav", "C:\\rips\\side B.flac", "SIDE a.ape" });
    EXPECT_EQ(picked(sides, "/music/side B.mp3"), "C:\\rips\\side B.flac");
    EXPECT_EQ(picked(sides, "/music/SIDE a.mp3"), "SIDE a.ape"); // exact before case-blind
    EXPECT_EQ(picked(sides, "side a.mp3"), "side A.wav");
    // The only FILE with audio, whatever its name; a data track's file does not count.
    EXPECT_EQ(
        picked(sheetWith({ "CDImage.wav" }, "data.bin"), "/music/Renamed.mp3"), "CDImage.wav");
}

TEST(CueFilePick, refusalNamesTheSheetsFiles)
{
    EXPECT_EQ(picked(sheetWith({ "side A.wav", "side B.wav" }, "data.bin"), "/music/mix.mp3"),
        "error: album.cue names 2 files (side A.wav, side B.wav); none is \"mix\"");
    EXPECT_EQ(picked(sheetWith({ "1", "2", "3", "4", "5", "6", "7", "8", "9", "10" }), "x.mp3"),
        "error: album.cue names 10 files (1, 2, 3, 4, 5, 6, 7, 8, … 2 more); none is \"x\"");
}
