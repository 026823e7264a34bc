// parvex-cli cut --exact: the piece plays exactly the marked samples, marks count in the
// source's real length, and the split engine's refusals hold.
#include "clirun.h"
#include "exactfixtures.h"
#include "gstdecode.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class CliExactCut : public ::testing::Test
{
protected:
    void SetUp() override { fs::copy_file(SharedSong(), m_song); }

    CliRun cut(const char* start, const char* end, const char* output = "cut.mp3")
    {
        return RunCli({ "cut", "song.mp3", start, end, "-o", output, "--exact" }, m_dir.path());
    }

    TempDir m_dir;
    fs::path m_song = m_dir / "song.mp3";
    fs::path m_output = m_dir / "cut.mp3";
};

// 65.9 s of 16 kHz mono, MPEG-2. Fractions of a second count to the sample: 7.5 s is sample
// 120000 at 16 kHz (a start libmpg123's synthesis phase can meet there; the engine's tests cover
// the starts that move).
TEST_F(CliExactCut, thePieceDecodesToTheSamplesBetweenTheMarks)
{
    const auto run = cut("7.5", "0:19.5");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Splitting is done!\n");
    for (const auto decode : { DecodeGapless, DecodeWithGStreamer }) {
        const auto source = decode(m_song);
        const auto piece = decode(m_output);
        ASSERT_EQ(std::ssize(piece), 192000);
        EXPECT_TRUE(std::equal(piece.begin(), piece.end(), source.begin() + 120000));
    }
    // Beyond the whole-second length (65 s) the proportional cut refuses; the real one is 65.9 s.
    EXPECT_EQ(
        RunCli({ "cut", "-y", "song.mp3", "60", "1:05", "-o", "cut.mp3", "--exact" }, m_dir.path())
            .status,
        0);
    EXPECT_EQ(std::ssize(DecodeGapless(m_output)), 5 * 16000);
}

TEST_F(CliExactCut, refusesWithTheSplitEnginesTextsAndWritesNothing)
{
    const struct
    {
        const char* start;
        const char* end;
        const char* output;
        const char* message;
    } cases[] = {
        { "66", "70", "cut.mp3", "The Start Time is bigger than the total time!" },
        { "10", "1:06", "cut.mp3", "The End Time is bigger than the total time!" },
        { "40", "10", "cut.mp3", "The Start Time is bigger than the End Time!" },
        { "1", "2", "song.mp3", "The output file is the source file!" },
        { "1", "2", "fifo", "Can not open the output mp3 file!" },
    };
    ASSERT_EQ(::mkfifo((m_dir / "fifo").c_str(), 0644), 0);
    const auto song = ReadAll(m_song);
    for (const auto& c : cases) {
        const auto run = cut(c.start, c.end, c.output);
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_EQ(FirstLine(run.err), c.message);
    }
    EXPECT_FALSE(fs::exists(m_output));
    EXPECT_EQ(ReadAll(m_song), song);
    EXPECT_TRUE(fs::is_fifo(m_dir / "fifo"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.path()), fs::directory_iterator()), 2)
        << "no temporary file stays behind";

    MakePatternFile(m_dir / "noise.mp3", 5000);
    const auto notMp3
        = RunCli({ "cut", "noise.mp3", "0", "1", "-o", "cut.mp3", "--exact" }, m_dir.path());
    EXPECT_EQ(notMp3.err, "This file cannot be cut exactly: it is not MPEG audio.\n");
    // A missing source is no refusal: the proportional cut's message, as for any source.
    const auto missing
        = RunCli({ "cut", "gone.mp3", "0", "1", "-o", "cut.mp3", "--exact" }, m_dir.path());
    EXPECT_EQ(FirstLine(missing.err), "Can not open the mp3 file!");
}

TEST_F(CliExactCut, anExistingOutputIsReplacedOnlyWhenAskedTo)
{
    MakePatternFile(m_output, 1000);
    const auto before = ReadAll(m_output);
    EXPECT_EQ(cut("1", "2").status, 1);
    EXPECT_EQ(ReadAll(m_output), before);
    const auto yes
        = RunCli({ "cut", "-y", "song.mp3", "1", "2", "-o", "cut.mp3", "--exact" }, m_dir.path());
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_EQ(std::ssize(DecodeGapless(m_output)), 16000);
}

} // namespace
