// SPDX-License-Identifier: GPL-3.0-or-later
// parvex-cli cut --exact end to end: the exact engine's one real cut through the command line,
// decoded once. Its refusals and failures are the dispatcher's (tests/plan), the joins and both
// decoders the engine's (tests/exact).
#include "clirun.h"
#include "exactfixtures.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace parvex {

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
    EXPECT_EQ(run.err, "");
    const auto source = DecodeGapless(m_song);
    const auto piece = DecodeGapless(m_output);
    ASSERT_EQ(std::ssize(piece), 192000);
    EXPECT_TRUE(std::equal(piece.begin(), piece.end(), source.begin() + 120000));
}

} // namespace

} // namespace parvex
