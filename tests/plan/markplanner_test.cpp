// SPDX-License-Identifier: GPL-3.0-or-later
// Marked pieces through the dispatcher: their samples, names, tags and refusals, and the name
// pattern's rules on its own.
#include "cutdispatcher.h"
#include "exactfixtures.h"
#include "mp3fixture.h"
#include "nametemplate.h"
#include "recordinghost.h"
#include "shortsong.h"

#include <gtest/gtest.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

TEST(NameTemplate, fillsFieldsAndKeepsTagTextInsideItsFolders)
{
    NameFields fields { "mix", 7, 12, "A/B", "..", "Album", 205'500 };
    EXPECT_EQ(ExpandNameTemplate("@f_@n of @N", fields), "mix_07 of 12.mp3");
    EXPECT_EQ(ExpandNameTemplate("@a/@n - @t (@p) @s", fields), "Album/07 - A_B (_) 03.25.mp3");
    EXPECT_EQ(ExpandNameTemplate("@@n @x", fields), "@n @x.mp3");
    fields.title = std::string(300, 'x') + "\u00e9";
    const std::string name = ExpandNameTemplate("@t", fields);
    EXPECT_EQ(name, std::string(250, 'x') + ".mp3");
    fields.title = std::string(249, 'x') + "\u00e9";
    EXPECT_EQ(ExpandNameTemplate("@t", fields), std::string(249, 'x') + ".mp3");
    EXPECT_EQ(DefaultNameTemplate(true), "@n - @t");
    EXPECT_EQ(DefaultNameTemplate(false), "@f_@n");
}

class MarkedPieces : public ShortSongTest
{
protected:
    static CutAtMarks pieces(std::vector<MarkedPiece> list) { return { std::move(list), {}, {} }; }

    static MarkedPiece at(std::int64_t milliseconds, std::string title = {})
    {
        return { { milliseconds, 1000 }, std::nullopt, std::move(title), {} };
    }

    SplitResult cut(CutAtMarks marks, std::string pattern = {}, bool replace = false)
    {
        CutRequest request;
        request.sourcePath = m_song.string();
        request.sourceOpen = true;
        request.shape = std::move(marks);
        request.outputFolder = m_dir.path().string();
        request.nameTemplate = std::move(pattern);
        request.replaceExisting = replace;
        request.reviewPlan = [this](const CutPlan& plan) {
            m_plan = plan;
            return true;
        };
        RecordingHost host;
        const SplitResult result = RunCut(request, host);
        m_calls = host.calls();
        return result;
    }

    std::vector<std::string> m_calls;
    CutPlan m_plan;
};

TEST_F(MarkedPieces, cutAtTheMarksSampleExactlyAndJoinToTheSource)
{
    ASSERT_EQ(cut(pieces({ at(0), at(2500), at(4000) })).status, SplitStatus::Done);
    ASSERT_EQ(m_plan.pieces.size(), 3u);
    EXPECT_EQ(m_plan.sampleRate, 16000);
    EXPECT_EQ(m_plan.pieces[1].firstSample, 40000);
    EXPECT_EQ(m_plan.pieces[2].firstSample, 64000);
    EXPECT_EQ(m_plan.pieces[2].endSample, DecodeGapless(m_song).size());
    const std::vector<fs::path> pieces { m_dir / "song_1.mp3", m_dir / "song_2.mp3",
        m_dir / "song_3.mp3" };
    EXPECT_EQ(DecodeJoined(pieces, DecodeGapless), DecodeGapless(m_song));
}

TEST_F(MarkedPieces, titlesNameAndTagThePiecesAndPatternsMakeFolders)
{
    CutAtMarks marks { { at(0, "Intro"), at(3000, "Song") }, "Live", "Band" };
    marks.pieces[1].end = CutPoint { 5000, 1000 };
    ASSERT_EQ(cut(marks).status, SplitStatus::Done);
    EXPECT_TRUE(fs::exists(m_dir / "1 - Intro.mp3"));
    EXPECT_EQ(m_plan.pieces[1].endSample, 80000);
    EXPECT_EQ(m_plan.pieces[1].tags.performer, "Band");
    EXPECT_EQ(m_plan.pieces[1].tags.album, "Live");
    EXPECT_EQ(m_plan.pieces[1].tags.track, 2);

    ASSERT_EQ(cut(marks, "@p/@a/@n @t").status, SplitStatus::Done);
    EXPECT_TRUE(fs::exists(m_dir / "Band/Live/2 Song.mp3"));
}

TEST_F(MarkedPieces, existingPiecesStopTheCutBeforeAnythingIsWrittenUnlessReplaced)
{
    WriteBytes(m_dir / "song_2.mp3", { 'o', 'l', 'd' });
    EXPECT_EQ(cut(pieces({ at(0), at(3000) })).status, SplitStatus::Stopped);
    EXPECT_FALSE(fs::exists(m_dir / "song_1.mp3"));
    EXPECT_EQ(fs::file_size(m_dir / "song_2.mp3"), 3u);
    EXPECT_EQ(cut(pieces({ at(0), at(3000) }), {}, true).status, SplitStatus::Done);
    EXPECT_GT(fs::file_size(m_dir / "song_2.mp3"), 3u);
}

TEST_F(MarkedPieces, refuseMarksPastTheEndOrOutOfOrderAndWriteNothing)
{
    const std::vector<CutAtMarks> wrong { pieces({ at(0), at(7000) }),
        pieces({ at(0), at(3000), at(2000) }), pieces({ at(0), at(3000), at(3000) }), pieces({}) };
    for (const CutAtMarks& marks : wrong) {
        EXPECT_EQ(cut(marks).status, SplitStatus::Stopped);
        ASSERT_EQ(m_calls.size(), 1u);
        EXPECT_TRUE(m_calls[0].starts_with("error: ")) << m_calls[0];
    }
    EXPECT_FALSE(fs::exists(m_dir / "song_1.mp3"));
}

} // namespace

} // namespace parvex
