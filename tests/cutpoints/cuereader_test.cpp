// SPDX-License-Identifier: GPL-3.0-or-later
// The CUE reader on the shapes real sheets come in, and its refusals with their line numbers.
#include "cuereader.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace parvex;

namespace {

CueSheet sheetOf(std::string_view text, std::string_view encoding = {})
{
    CueReadResult read = ReadCueSheet(text, "album.cue", encoding);
    EXPECT_EQ(read.error, "");
    return read.sheet.value_or(CueSheet {});
}

std::string errorOf(std::string_view text)
{
    return ReadCueSheet(text, "album.cue").error;
}

// A file's tracks as "number:index01[/index00]" in CD frames, for one comparison per sheet.
std::string tracksOf(const CueSheet& sheet, std::size_t file)
{
    std::string out;
    for (const CueTrack& track : sheet.files.at(file).tracks) {
        out += (out.empty() ? "" : " ") + std::to_string(track.number) + ":"
            + std::to_string(track.index01);
        if (track.index00)
            out += "/" + std::to_string(*track.index00);
    }
    return out;
}

std::string withLineEnds(std::string_view text, const char* end)
{
    std::string out;
    for (const char c : text)
        out += c == '\n' ? std::string(end) : std::string(1, c);
    return out;
}

} // namespace

TEST(CueReader, readsASingleImageWithRipperMetadata)
{
    const CueSheet sheet = sheetOf(withLineEnds(R"(REM GENRE "Jazz"
REM DATE 1959
REM DISCID 6B0A8E09
REM COMMENT "ExactAudioCopy v1.6"
REM REPLAYGAIN_ALBUM_GAIN -7.89 dB
CATALOG 0074646493524
PERFORMER "The Quintet"
TITLE "Blue Hours"
FILE "Blue Hours.wav" WAVE
  TRACK 01 AUDIO
    TITLE "So It Goes"
    PERFORMER "The Quintet"
    ISRC USSM15900113
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    TITLE "Green Dolphin"
    FLAGS DCP
    INDEX 00 03:23:12
    INDEX 01 03:25:37
    INDEX 02 04:00:00
)",
        "\r\n"));
    EXPECT_EQ(sheet.title, "Blue Hours");
    EXPECT_EQ(sheet.performer, "The Quintet");
    ASSERT_EQ(sheet.files.size(), 1u);
    EXPECT_EQ(sheet.files[0].name, "Blue Hours.wav");
    EXPECT_EQ(tracksOf(sheet, 0), "1:0 2:15412/15237");
    EXPECT_EQ(sheet.files[0].tracks[1].title, "Green Dolphin");
    EXPECT_EQ(sheet.files[0].tracks[1].performer, "");
    EXPECT_EQ(sheet.files[0].tracks[1].line, 15);
}

// EAC's "non-compliant" layout: a track's INDEX 00 ends the previous file, its INDEX 01 starts
// the next; the track is the next file's and its pregap is dropped.
TEST(CueReader, givesATrackToTheFileOfItsIndex01)
{
    const CueSheet sheet = sheetOf(R"(FILE "01 Intro.wav" WAVE
  TRACK 01 AUDIO
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    INDEX 00 02:58:40
FILE "02 Theme.wav" WAVE
    INDEX 01 00:00:00
  TRACK 03 AUDIO
    INDEX 00 04:10:00
    INDEX 01 04:12:00
)");
    ASSERT_EQ(sheet.files.size(), 2u);
    EXPECT_EQ(tracksOf(sheet, 0), "1:0");
    EXPECT_EQ(tracksOf(sheet, 1), "2:0 3:18900/18750");
}

TEST(CueReader, readsVinylSidesAsTwoFilesAndSkipsDataTracks)
{
    const CueSheet sheet = sheetOf(R"(FILE "side A.wav" WAVE
  TRACK 01 AUDIO
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    INDEX 01 07:10:20
FILE "side B.wav" WAVE
  TRACK 03 AUDIO
    INDEX 01 00:00:00
  TRACK 04 AUDIO
    INDEX 01 05:00:00
FILE "extras.bin" BINARY
  TRACK 05 MODE1/2352
    TITLE "Video"
    INDEX 01 00:00:00
  TRACK 06 mode2/2352
    INDEX 01 00:00:00
)");
    ASSERT_EQ(sheet.files.size(), 3u);
    EXPECT_EQ(tracksOf(sheet, 0), "1:0 2:32270");
    EXPECT_EQ(tracksOf(sheet, 1), "3:0 4:22500");
    EXPECT_EQ(tracksOf(sheet, 2), "");
}

// A hand-made sheet: BOM, CR line ends, no final newline, lower case, tabs, blank lines, an
// unquoted FILE before the album TITLE, numbers from 5, a hidden first track, long audiobooks.
TEST(CueReader, toleratesLooseLayout)
{
    const CueSheet sheet = sheetOf(withLineEnds("\xEF\xBB\xBF"
                                                R"(file my mix.mp3 MP3
title Late Set

	performer "DJ ""Q"""
  track 05 audio
	title Opener
    pregap 00:02:00
	index 00 00:00:00
	index 01 00:32:10
  TRACK 06  AUDIO
    TITLE "The "Long" One"
    INDEX 01 99:59:74
  TRACK 07 AUDIO
    INDEX 01 102:03
    POSTGAP 00:02:00
  TRACK 08 AUDIO
    INDEX 01 1234:05:06)",
        "\r"));
    EXPECT_EQ(sheet.title, "Late Set");
    EXPECT_EQ(sheet.performer, "DJ \"\"Q\"\"");
    ASSERT_EQ(sheet.files.size(), 1u);
    EXPECT_EQ(sheet.files[0].name, "my mix.mp3");
    EXPECT_EQ(tracksOf(sheet, 0), "5:2410/0 6:449999 7:459225 8:5553381");
    EXPECT_EQ(sheet.files[0].tracks[0].title, "Opener");
    EXPECT_EQ(sheet.files[0].tracks[1].title, "The \"Long\" One");
}

TEST(CueReader, readsTheEncodingItIsTold)
{
    EXPECT_EQ(
        sheetOf("TITLE \"\xC1\xEB\xFE\xE7\"\nFILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00\n",
            "CP1251")
            .title,
        "Блюз");
}

TEST(CueReader, refusesBrokenSheetsNamingTheLine)
{
    const std::string head = "FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\n";
    const std::pair<std::string, std::string> cases[] = {
        { head + "INDEX 01 03:25:75\n", "album.cue:3: frames must be 0–74" },
        { head + "INDEX 01 03:60:00\n", "album.cue:3: seconds must be 0–59" },
        { head + "INDEX 01 3.20\n", "album.cue:3: time must be mm:ss:ff" },
        { head + "INDEX 01\n", "album.cue:3: INDEX needs a number (0–99) and a time mm:ss:ff" },
        { "FILE a.wav WAVE\nREM\nINDEX 01 00:00:00\n", "album.cue:3: INDEX before any TRACK" },
        { "TITLE x\nTRACK 01 AUDIO\n", "album.cue:2: TRACK before any FILE" },
        { head + "TITLE x\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n",
            "album.cue:2: track 1 has no INDEX 01" },
        { head + "INDEX 00 00:00:00\n", "album.cue:2: track 1 has no INDEX 01" },
        { head + "INDEX 01 01:00:00\nTRACK 02 AUDIO\nINDEX 01 00:59:74\n",
            "album.cue:5: INDEX 01 00:59:74 is not after track 1's 01:00:00" },
        { head + "INDEX 01 01:00:00\nTRACK 02 AUDIO\nINDEX 00 00:30:00\n",
            "album.cue:5: INDEX 00 00:30:00 is not after track 1's INDEX 01 01:00:00" },
        { head + "INDEX 00 00:10:00\nINDEX 01 00:05:00\n",
            "album.cue:4: INDEX 01 lies before INDEX 00 in track 1" },
        { head + "INDEX 01 00:00:00\nINDEX 01 00:05:00\n",
            "album.cue:4: INDEX 01 given twice in track 1" },
        { "FILE \"\" WAVE\n", "album.cue:1: FILE names no file" },
        { "FILE a.wav WAVE\nTRACK one AUDIO\n", "album.cue:2: TRACK needs a number (0–999)" },
        { head + "TITLE \"" + std::string(4096, 'x') + "\"\n",
            "album.cue:3: line longer than 4096 bytes" },
        { head + std::string("INDEX 01 00:00:00\0\n", 19),
            "album.cue:3: holds a NUL byte: not a text file, or UTF-16 without its byte-order "
            "mark" },
        { "REM nothing here\n", "album.cue: holds no audio TRACK" },
        { std::string((1 << 20) + 1, '\n'), "album.cue: larger than 1 MiB: not a CUE sheet" },
    };
    for (const auto& [sheet, error] : cases)
        EXPECT_EQ(errorOf(sheet), error) << sheet.substr(0, 200);

    std::string many = "FILE a.wav WAVE\n";
    for (int track = 1; track <= 1000; ++track)
        many += "TRACK " + std::to_string(track) + " MODE1/2352\n";
    EXPECT_EQ(errorOf(many), "album.cue:1001: more than 999 tracks");
}

TEST(CueReader, readsFilesAndRefusesWhatIsNoSheet)
{
    const TempDir dir;
    const std::string path = (dir / "album.cue").string();
    std::ofstream(path) << "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:75\n";
    EXPECT_EQ(ReadCueSheetFile(path).error, path + ":3: frames must be 0–74");
    std::ofstream(path) << "FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n";
    EXPECT_EQ(ReadCueSheetFile(path).sheet->displayName, path);

    const std::string big = (dir / "big.cue").string();
    std::ofstream(big) << std::string((1 << 20) + 1, '\n');
    EXPECT_EQ(ReadCueSheetFile(big).error, big + ": larger than 1 MiB: not a CUE sheet");
    EXPECT_EQ(ReadCueSheetFile(dir.path().string()).error, dir.path().string() + ": not a file");
    const std::string missing = (dir / "missing.cue").string();
    EXPECT_EQ(
        ReadCueSheetFile(missing).error, missing + ": cannot read it: No such file or directory");
}
