// SPDX-License-Identifier: GPL-3.0-or-later
// parvex-cli parts --exact as a process: `ulimit -f` (SIGXFSZ at its default), Ctrl-C, a second
// signal and SIGKILL leave nothing half-written. The pieces' decodes and the refusals are
// tested below the command line (tests/exact, tests/plan).
#include "clirun.h"
#include "exactfixtures.h"
#include "filesizelimit.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <csignal>

namespace parvex {

namespace fs = std::filesystem;

namespace {

class CliExactSplit : public ::testing::Test
{
protected:
    void SetUp() override { fs::copy_file(SharedSong(), m_song); }

    CliRun split(const char* command, const char* count)
    {
        return RunCli({ command, "song.mp3", count, "-d", "out", "--exact" }, m_dir.path());
    }

    // big.mp3: 72 MB of CBR 320 frames (a short encode repeated), long enough to be signalled
    // at its first progress line.
    void makeBigSource()
    {
        std::string error;
        ASSERT_TRUE(MakeMp3(m_dir / "short.mp3", { 3.0, 44100, 2, { "-b", "320", "-t" } }, &error))
            << error;
        const auto frames = ReadAll(m_dir / "short.mp3");
        std::vector<char> big;
        while (big.size() < 72'000'000)
            big.insert(big.end(), frames.begin(), frames.end());
        WriteBytes(m_dir / "big.mp3", big);
    }

    std::size_t filesIn(const fs::path& folder) const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    TempDir m_dir;
    fs::path m_song = m_dir / "song.mp3";
    fs::path m_out = m_dir / "out";
};

TEST_F(CliExactSplit, aFullDiskMidPieceLeavesNoPartialPieceAndTheOldFileWhole)
{
    fs::create_directory(m_out);
    MakePatternFile(m_out / "song_0.mp3", 1000);
    const auto before = ReadAll(m_out / "song_0.mp3");
    CliRun run;
    {
        // Each of the two pieces is about 130 KB. SIGXFSZ at its default, as after `ulimit -f`:
        // parvex-cli ignores it, so the write fails instead of the process.
        const FileSizeLimit limit(64 * 1024, false);
        run = split("parts", "2");
    }
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(FirstLine(run.err), "Can not write the output mp3 file!");
    EXPECT_EQ(ReadAll(m_out / "song_0.mp3"), before);
    EXPECT_EQ(filesIn(m_out), 1u) << "no temporary file stays behind";
}

// 72 MB of CBR 320 frames (a short encode repeated), signalled at its first progress line. On a
// busy machine the first piece may be complete before the signal comes: whatever is left must be
// a complete piece, as an uninterrupted run writes it.
TEST_F(CliExactSplit, anInterruptionRemovesTheUnfinishedPieceAndEndsByTheSignal)
{
    makeBigSource();
    fs::create_directory(m_out);
    fs::create_directory(m_dir / "reference");

    // A hangup the caller ignores (nohup) stays ignored: the split runs to its end.
    const auto previous = std::signal(SIGHUP, SIG_IGN); // inherited by the child
    const auto ignored = RunCliOnTerminal(
        { "parts", "big.mp3", "2", "-d", "reference", "--exact" }, m_dir.path(), {}, SIGHUP);
    std::signal(SIGHUP, previous);
    EXPECT_EQ(ignored.status, 0) << ignored.err;
    EXPECT_EQ(filesIn(m_dir / "reference"), 2u);

    const auto run = RunCliOnTerminal(
        { "parts", "big.mp3", "2", "-d", "out", "--exact" }, m_dir.path(), {}, SIGINT);
    EXPECT_EQ(run.signal, SIGINT);
    EXPECT_NE(run.err.find("Interrupted: the unfinished piece was removed."), std::string::npos)
        << run.err;
    EXPECT_LE(filesIn(m_out), 1u) << "no unfinished piece and no temporary file";
    for (const auto& left : fs::directory_iterator(m_out))
        EXPECT_EQ(ReadAll(left.path()), ReadAll(m_dir / "reference" / left.path().filename()));
}

// A second signal right after the first, or SIGKILL, in the middle of a piece, with either
// engine: what is left are complete pieces (as an uninterrupted run writes them), nothing partial
// and nothing hidden.
TEST_F(CliExactSplit, aSecondSignalOrSigkillLeavesOnlyCompletePieces)
{
    makeBigSource();
    for (const bool exact : { true, false }) {
        std::vector<std::string> args { "parts", "big.mp3", "2", "-d", "reference" };
        if (exact)
            args.push_back("--exact");
        fs::create_directory(m_dir / "reference");
        ASSERT_EQ(RunCli(args, m_dir.path()).status, 0);
        args[4] = "out";
        for (const std::vector<int>& signals :
            { std::vector<int> { SIGINT, SIGTERM }, std::vector<int> { SIGKILL } }) {
            fs::remove_all(m_out);
            fs::create_directory(m_out);
            const auto run = RunCliOnTerminalSignalled(args, m_dir.path(), signals);
            EXPECT_EQ(run.signal, signals.back()) << run.err;
            for (const auto& entry : fs::directory_iterator(m_out)) {
                const std::string name = entry.path().filename().string();
                EXPECT_NE(name.front(), '.') << name << (exact ? " (exact)" : "");
                EXPECT_TRUE(ReadAll(entry.path()) == ReadAll(m_dir / "reference" / name))
                    << name << " is not a complete piece" << (exact ? " (exact)" : "");
            }
        }
        fs::remove_all(m_dir / "reference");
    }
}

} // namespace

} // namespace parvex
