// SPDX-License-Identifier: GPL-3.0-or-later
// split, chapters and silences end to end: what only the whole program shows (a batch planned
// before anything is written, the plan printed and exported, chapters and silences read back).
// The pieces' samples are the planner's (tests/plan), the sheets the CUE reader's.
#include "chapters.h"
#include "clirun.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

std::size_t filesIn(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(
        fs::recursive_directory_iterator(folder), fs::recursive_directory_iterator()));
}

// 16 s of 22.05 kHz mono: tone from 0 to 5, 7 to 12 and 14 to 16 s, near-silence (-66 dB)
// between. Made once.
const fs::path& talk()
{
    static const TempDir dir;
    static const fs::path path = [] {
        std::vector<std::int16_t> samples;
        for (int i = 0; i < 16 * 22050; ++i) {
            const double t = i / 22050.0;
            const bool loud = t < 5 || (t >= 7 && t < 12) || t >= 14;
            samples.push_back(
                static_cast<std::int16_t>(loud ? 8000 * std::sin(i * 0.07) : (i * 7919 % 31) - 15));
        }
        std::string error;
        EXPECT_TRUE(EncodeMp3(dir / "talk.mp3", samples, 22050, 1, { "-b", "64" }, &error))
            << error;
        return dir / "talk.mp3";
    }();
    return path;
}

class CliMarks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The level cache goes to a folder of the test's own.
        setenv("XDG_CACHE_HOME", (m_dir / "cache").c_str(), 1);
        fs::copy_file(talk(), m_dir / "talk.mp3");
    }

    TempDir m_dir;
};

// The numbers of each line of `text`, tab-separated; the time fields of a plan as seconds.
std::vector<std::vector<double>> table(const std::string& text)
{
    std::vector<std::vector<double>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        rows.emplace_back();
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) {
            double seconds = 0;
            for (std::size_t at = 0, colon = 0; colon != std::string::npos; at = colon + 1) {
                colon = field.find(':', at);
                seconds = seconds * 60 + std::atof(field.substr(at, colon - at).c_str());
            }
            rows.back().push_back(seconds);
        }
    }
    return rows;
}

// Within two 10 ms blocks of the true edges.
void expectNear(
    const std::vector<std::vector<double>>& rows, const std::vector<std::vector<double>>& want)
{
    ASSERT_EQ(rows.size(), want.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = 0; j < want[i].size(); ++j)
            EXPECT_NEAR(rows[i][j], want[i][j], 0.02) << i << ' ' << j;
}

TEST_F(CliMarks, silencesArePrintedAndCutInTheirMiddle)
{
    const auto found = RunCli({ "silences", "talk.mp3" }, m_dir.path());
    EXPECT_EQ(found.status, 0) << found.err;
    expectNear(table(found.out), { { 5, 7, 2 }, { 12, 14, 2 } });

    const auto pretend = RunCli({ "split", "talk.mp3", "--silence", "--pretend" }, m_dir.path());
    EXPECT_EQ(pretend.status, 0) << pretend.err;
    expectNear(table(pretend.out), { { 1, 0, 6, 6 }, { 2, 6, 13, 7 }, { 3, 13, 16, 3 } });
    EXPECT_NE(pretend.out.find("talk_3.mp3"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_dir / "talk_1.mp3"));

    const auto none
        = RunCli({ "split", "talk.mp3", "--silence", "--threshold", "-90" }, m_dir.path());
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("no silence"), std::string::npos) << none.err;
    EXPECT_NE(none.err.find("--threshold -80"), std::string::npos) << none.err;
}

TEST_F(CliMarks, anExportedSheetCutsWhereThePlanDid)
{
    const auto exported
        = RunCli({ "split", "talk.mp3", "--at", "3.2,9", "--pretend", "--export-cue", "talk.cue" },
            m_dir.path());
    EXPECT_EQ(exported.status, 0) << exported.err;
    const auto again
        = RunCli({ "split", "talk.mp3", "--cue", "talk.cue", "--pretend" }, m_dir.path());
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, exported.out) << "3.2 s and 9 s are whole CD frames";
    EXPECT_EQ(filesIn(m_dir.path()), 2u) << "the source and the sheet: no piece";
}

TEST_F(CliMarks, chaptersWrittenFromMarksCutTheSameWayAgain)
{
    const auto written
        = RunCli({ "chapters", "talk.mp3", "--at", "6,13", "-o", "chaptered.mp3" }, m_dir.path());
    EXPECT_EQ(written.status, 0) << written.err;
    const ChapterReadResult chapters = ReadChapters((m_dir / "chaptered.mp3").string());
    ASSERT_EQ(chapters.chapters.size(), 3u) << chapters.error;
    EXPECT_EQ(chapters.chapters[1].startMs, 6000);
    EXPECT_EQ(chapters.chapters[1].endMs, 13000);
    EXPECT_EQ(chapters.chapters[1].title, "Chapter 2");

    const auto split = RunCli({ "split", "chaptered.mp3", "--chapters" }, m_dir.path());
    EXPECT_EQ(split.status, 0) << split.err;
    TagLib::MPEG::File piece((m_dir / "2 - Chapter 2.mp3").c_str());
    ASSERT_TRUE(piece.isValid() && piece.ID3v2Tag());
    EXPECT_EQ(piece.ID3v2Tag()->title().to8Bit(true), "Chapter 2");
    const auto track = piece.ID3v2Tag()->frameListMap()["TRCK"];
    ASSERT_FALSE(track.isEmpty());
    EXPECT_EQ(track.front()->toString().to8Bit(true), "2/3");
}

// Two sources whose pieces would take one name are refused before anything is written; a
// source that cannot be cut does not stop the others, and the end says which failed.
TEST_F(CliMarks, aBatchIsPlannedWholeAndGoesOnPastABadSource)
{
    fs::create_directories(m_dir / "a");
    fs::create_directories(m_dir / "b");
    fs::copy_file(talk(), m_dir / "a/talk.mp3");
    fs::copy_file(talk(), m_dir / "b/talk.mp3");
    MakePatternFile(m_dir / "b/noise.mp3", 5000);

    const auto collide
        = RunCli({ "split", "a/talk.mp3", "b/talk.mp3", "--at", "8", "-d", "out" }, m_dir.path());
    EXPECT_EQ(collide.status, 1);
    EXPECT_NE(collide.err.find("Two pieces would be named out/talk_1.mp3"), std::string::npos)
        << collide.err;
    EXPECT_FALSE(fs::exists(m_dir / "out"));

    const auto batch = RunCli({ "split", "b", "--recursive", "--at", "8" }, m_dir.path());
    EXPECT_EQ(batch.status, 1);
    EXPECT_NE(batch.out.find("failed  b/noise.mp3"), std::string::npos) << batch.out;
    EXPECT_NE(batch.out.find("done    b/talk.mp3 (2 pieces)"), std::string::npos) << batch.out;
    EXPECT_TRUE(fs::exists(m_dir / "b/talk_2.mp3"));
}

} // namespace

} // namespace parvex
