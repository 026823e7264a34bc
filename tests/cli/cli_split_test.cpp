// SPDX-License-Identifier: GPL-3.0-or-later
// parvex-cli parts as a process: a file failure's second line, and the progress line (on a
// terminal for large splits, ended before anything follows it, never without a terminal). What
// parts and every ask for is read in process (commandrequest_test.cpp); the pieces and the checks
// are the engines' (tests/split, tests/exact, tests/plan).
#include "clirun.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

class CliSplit : public ::testing::Test
{
protected:
    void SetUp() override { fs::create_directory(m_out); }

    TempDir m_dir;
    fs::path m_out = m_dir / "out";
};

// The design's text, then the path and the system's reason.
TEST_F(CliSplit, aFileFailureSaysThePathAndWhy)
{
    MakePatternFile(m_dir / "file", 10); // a file where the folder should be
    const auto output = RunCli({ "parts", "file", "2", "-d", "file" }, m_dir.path());
    EXPECT_EQ(output.status, 1);
    EXPECT_EQ(output.out, "");
    EXPECT_EQ(output.err, "Can not open the output mp3 file!\nfile/file_0.mp3: Not a directory\n");
    const auto source = RunCli({ "parts", "missing.mp3", "2" }, m_dir.path());
    EXPECT_EQ(source.err, "Can not open the mp3 file!\nmissing.mp3: No such file or directory\n");
}

TEST_F(CliSplit, progressLineShowsOnATerminalForLargeSplits)
{
    const std::int64_t size = (std::int64_t { 64 } << 20) + 4096;
    MakePatternFile(m_dir / "big.bin", size);
    const auto run = RunCliOnTerminal({ "parts", "big.bin", "1", "-d", "out" }, m_dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Splitting is done!\n");
    EXPECT_NE(run.err.find("\r 100% 64.0 MiB of 64.0 MiB"), std::string::npos) << run.err;
    // The line is ended, so that nothing is written over it.
    EXPECT_EQ(run.err.back(), '\n');
    EXPECT_EQ(fs::file_size(m_out / "big_0.mp3"), static_cast<std::uintmax_t>(size));
}

TEST_F(CliSplit, noProgressLineWithoutATerminal)
{
    MakePatternFile(m_dir / "big.bin", (std::int64_t { 64 } << 20) + 4096);
    const auto run = RunCli({ "parts", "big.bin", "1", "-d", "out" }, m_dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

} // namespace

} // namespace parvex
