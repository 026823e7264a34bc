// SPDX-License-Identifier: GPL-3.0-or-later
// parvex-cli info and --version as the program prints them (usage errors and --help are read in
// process: commandrequest_test.cpp).
#include "clirun.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace parvex {

namespace fs = std::filesystem;

namespace {

TEST(CliInfo, printsTitleLineSizeAndSeconds)
{
    TempDir dir;
    fs::copy_file(SharedSong(), dir / "my song.mp3");
    const auto run = RunCli({ "info", (dir / "my song.mp3").string() }, dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
        "my song.mp3  (00:01:05)\nbytes: " + std::to_string(fs::file_size(SharedSong()))
            + "\nseconds: 65\n");
    EXPECT_EQ(run.err, "");
}

// Files that are not MP3 are measured through GStreamer, which parvex-cli starts only for them.
TEST(CliInfo, measuresOtherAudioThroughGStreamer)
{
    TempDir dir;
    const std::string command = "lame --quiet --decode '" + SharedSong().string() + "' '"
        + (dir / "song.wav").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto run = RunCli({ "info", "song.wav" }, dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "song.wav  (00:01:05)");
}

TEST(CliInfo, unmeasurableSourceIsReported)
{
    TempDir dir;
    MakePatternFile(dir / "data.bin", 100'000);
    for (const char* source : { "missing.mp3", "data.bin", "." }) {
        const auto run = RunCli({ "info", source }, dir.path());
        EXPECT_EQ(run.status, 1) << source;
        EXPECT_EQ(run.out, "") << source;
        EXPECT_EQ(run.err, "Can not open the mp3 total time!\n") << source;
    }
}

TEST(CliUsage, versionIsTheProjectVersion)
{
    TempDir dir;
    const auto run = RunCli({ "--version" }, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "parvex-cli 3.1\n");
}

} // namespace

} // namespace parvex
