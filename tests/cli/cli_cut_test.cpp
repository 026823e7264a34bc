// SPDX-License-Identifier: GPL-3.0-or-later
// parvex-cli cut: time arguments, the checks, the replace question and --duration.
#include "clirun.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace parvex {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kSongSeconds = 65;

std::int64_t offsetAt(std::int64_t seconds, std::int64_t total, std::int64_t size)
{
    return static_cast<std::int64_t>(std::trunc(
        static_cast<double>(seconds) / static_cast<double>(total) * static_cast<double>(size)));
}

class CliCut : public ::testing::Test
{
protected:
    void SetUp() override { fs::copy_file(SharedSong(), m_song); }

    std::vector<char> expectedCut(std::int64_t a, std::int64_t b) const
    {
        const auto source = ReadAll(m_song);
        const auto size = std::ssize(source);
        return ExpectedPiece(
            source, offsetAt(a, kSongSeconds, size), offsetAt(b, kSongSeconds, size));
    }

    TempDir m_dir;
    fs::path m_song = m_dir / "song.mp3";
    fs::path m_output = m_dir / "cut.mp3";
};

// The proportional engine's one end-to-end run: the source's bytes between the marks, whole
// 512-byte blocks from the proportional start (the time forms are read in process, see
// commandrequest_test.cpp; the engine's arithmetic in tests/split), over an older output that
// -y allows it to replace without a terminal.
TEST_F(CliCut, yesReplacesTheOutputWithTheSourceBytesBetweenTheMarks)
{
    MakePatternFile(m_output, 1000);
    const auto run
        = RunCli({ "cut", "-y", "song.mp3", "0:10", "40", "-o", "cut.mp3" }, m_dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Splitting is done!\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadAll(m_output), expectedCut(10, 40));
}

// A refusal is one line on stderr and status 1 (the checks and their order: tests/split).
TEST_F(CliCut, aRefusalIsOneLineOnStderr)
{
    const auto run = RunCli({ "cut", "song.mp3", "40", "10", "-o", "cut.mp3" }, m_dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "The Start Time is bigger than the End Time!\n");
    EXPECT_FALSE(fs::exists(m_output));
}

TEST_F(CliCut, existingOutputIsLeftAloneWithoutATerminal)
{
    MakePatternFile(m_output, 1000);
    const auto before = ReadAll(m_output);
    const auto run = RunCli({ "cut", "song.mp3", "0:10", "0:40", "-o", "cut.mp3" }, m_dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.find("cut.mp3 exists. Do you want to replace it?"), 0u) << run.err;
    EXPECT_NE(run.err.find("-y"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    EXPECT_EQ(ReadAll(m_output), before);
}

TEST_F(CliCut, terminalAnswerDecidesTheReplacement)
{
    MakePatternFile(m_output, 1000);
    const auto before = ReadAll(m_output);
    const std::vector<std::string> args { "cut", "song.mp3", "10", "40", "-o", "cut.mp3" };

    const auto no = RunCliOnTerminal(args, m_dir.path(), "n");
    EXPECT_EQ(no.status, 1);
    EXPECT_NE(no.err.find("cut.mp3 exists. Do you want to replace it? [y/N] "), std::string::npos)
        << no.err;
    EXPECT_EQ(ReadAll(m_output), before);

    const auto yes = RunCliOnTerminal(args, m_dir.path(), " YES ");
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_EQ(yes.out, "Splitting is done!\n");
    EXPECT_EQ(yes.err.find("MiB"), std::string::npos) << "no progress line for a small cut";
    EXPECT_EQ(ReadAll(m_output), expectedCut(10, 40));
}

TEST_F(CliCut, durationStandsInForTheProbe)
{
    MakePatternFile(m_dir / "data.bin", 1'000'000);
    const std::vector<std::string> args { "cut", "data.bin", "0:10", "0:20", "-o", "piece.bin" };

    const auto unmeasured = RunCli(args, m_dir.path());
    EXPECT_EQ(unmeasured.status, 1);
    EXPECT_EQ(unmeasured.err, "Can not open the mp3 total time!\n");
    EXPECT_FALSE(fs::exists(m_dir / "piece.bin"));

    auto withDuration = args;
    withDuration.insert(withDuration.end(), { "--duration", "100" });
    const auto run = RunCli(withDuration, m_dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    // 100,000 to 200,000 nominal, in whole 512-byte blocks: 196 blocks.
    EXPECT_EQ(
        ReadAll(m_dir / "piece.bin"), ExpectedPiece(ReadAll(m_dir / "data.bin"), 100'000, 200'000));
    EXPECT_EQ(fs::file_size(m_dir / "piece.bin"), 100'352u);
}

} // namespace

} // namespace parvex
