// SPDX-License-Identifier: GPL-3.0-or-later
// RunCut's own checks, before and around the engines: the exact cuts refuse with the proportional
// cut's texts and write nothing, and the proportional split refuses more pieces than bytes and a
// source under one second.
#include "cutdispatcher.h"
#include "exactfixtures.h"
#include "exactrequests.h"
#include "mp3fixture.h"
#include "recordinghost.h"
#include "shortsong.h"
#include "splitmessages.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

std::string error(std::string_view text)
{
    return "error: " + std::string(text);
}

std::string fileError(std::string_view text)
{
    return "file error: " + std::string(text);
}

std::size_t filesIn(const fs::path& folder)
{
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class CutDispatcher : public ShortSongTest
{
protected:
    void SetUp() override
    {
        ShortSongTest::SetUp();
        fs::create_directory(m_out);
    }

    // The calls a host saw for one exact range cut to `output` (answering Yes to a replace).
    std::vector<std::string> exactRange(TimeMark start, TimeMark end, const fs::path& output)
    {
        RecordingHost host;
        host.answerNext(true);
        EXPECT_NE(RunExactRange(m_song, start, end, output, host).status, SplitStatus::Done);
        return host.calls();
    }

    fs::path m_out = m_dir / "out";
};

TEST_F(CutDispatcher, exactRangeRefusesWithTheProportionalTextsAndTouchesNothing)
{
    const fs::path output = m_dir / "cut.mp3";
    ASSERT_EQ(::mkfifo((m_dir / "fifo").c_str(), 0644), 0);
    const auto song = ReadAll(m_song);
    using Calls = std::vector<std::string>;
    EXPECT_EQ(exactRange({ 0, 0, 7 }, { 0, 0, 8 }, output),
        Calls { error(SplitMessages::StartBeyondTotal) });
    EXPECT_EQ(exactRange({ 0, 0, 1 }, { 0, 0, 7 }, output),
        Calls { error(SplitMessages::EndBeyondTotal) });
    EXPECT_EQ(exactRange({ 0, 0, 4 }, { 0, 0, 1 }, output),
        Calls { error(SplitMessages::StartAfterEnd) });
    EXPECT_EQ(exactRange({ 0, 0, 1 }, { 0, 0, 2 }, m_song),
        Calls { error(SplitMessages::OutputIsSource) });
    const auto fifo = exactRange({ 0, 0, 1 }, { 0, 0, 2 }, m_dir / "fifo");
    ASSERT_FALSE(fifo.empty());
    EXPECT_EQ(fifo.back(), fileError(SplitMessages::CannotOpenOutput));
    EXPECT_FALSE(fs::exists(output));
    EXPECT_EQ(ReadAll(m_song), song);
    EXPECT_TRUE(fs::is_fifo(m_dir / "fifo"));
    EXPECT_EQ(filesIn(m_dir.path()), 3u) << "no temporary file stays behind";

    MakePatternFile(m_dir / "noise.mp3", 5000);
    RecordingHost noise;
    RunExactRange(m_dir / "noise.mp3", {}, { 0, 0, 1 }, output, noise);
    EXPECT_EQ(
        noise.calls(), Calls { error("This file cannot be cut exactly: it is not MPEG audio.") });
    // A missing source is no refusal: the proportional cut's message, as for any source.
    RecordingHost missing;
    RunExactRange(m_dir / "gone.mp3", {}, { 0, 0, 1 }, output, missing);
    EXPECT_EQ(missing.calls(), Calls { fileError(SplitMessages::CannotOpenSource) });
}

// Marks count in the real length: the proportional cut would refuse an end past 6 s.
TEST_F(CutDispatcher, exactRangeReachesPastTheWholeSecondLength)
{
    RecordingHost host;
    const fs::path output = m_dir / "cut.mp3";
    ASSERT_EQ(RunExactRange(m_song, { 0, 0, 6 }, { 0, 0, 6, 500'000'000 }, output, host).status,
        SplitStatus::Done);
    EXPECT_EQ(std::ssize(DecodeGapless(output)), 8000);
}

TEST_F(CutDispatcher, exactSplitsRefuseAndWriteNothing)
{
    // Too many parts: partcount_test.cpp.
    fs::create_symlink("../song.mp3", m_out / "song_0.mp3");
    CutRequest every;
    every.sourcePath = m_song.string();
    every.sourceOpen = true;
    every.exact = true;
    every.shape = CutEvery { "2", { 0, 0, 2 } };
    every.outputFolder = m_out.string();
    RecordingHost same;
    RunCut(every, same);
    EXPECT_EQ(same.calls(), std::vector { error(SplitMessages::OutputIsSource) });
    fs::remove(m_out / "song_0.mp3");

    ASSERT_EQ(::mkfifo((m_out / "song_0.mp3").c_str(), 0644), 0);
    RecordingHost fifo;
    EXPECT_EQ(RunExactParts(m_song, m_out, 2, fifo).status, SplitStatus::Failed);
    ASSERT_FALSE(fifo.calls().empty());
    EXPECT_EQ(fifo.calls().back(), fileError(SplitMessages::CannotOpenOutput));
    EXPECT_TRUE(fs::is_fifo(m_out / "song_0.mp3"));
    EXPECT_EQ(filesIn(m_out), 1u);
}

// Records explain() too, as "explain: <text>".
class ExplainingHost : public RecordingHost
{
public:
    void explain(std::string_view text) override
    {
        m_explained.push_back("explain: " + std::string(text));
    }
    std::vector<std::string> callsAndExplanations() const
    {
        auto all = calls();
        all.insert(all.end(), m_explained.begin(), m_explained.end());
        return all;
    }

private:
    std::vector<std::string> m_explained;
};

// The proportional split of a source measured (by the front end) as `seconds` long.
class ProportionalSplit : public CutDispatcher
{
protected:
    std::vector<std::string> run(CutShape shape, std::optional<std::int64_t> seconds)
    {
        CutRequest request;
        request.sourcePath = m_song.string();
        request.sourceOpen = true;
        request.shape = std::move(shape);
        request.outputFolder = m_out.string();
        request.measureSeconds = [seconds] {
            return seconds;
        };
        ExplainingHost host;
        EXPECT_EQ(RunCut(request, host).status, SplitStatus::Stopped);
        EXPECT_EQ(filesIn(m_out), 0u);
        return host.callsAndExplanations();
    }
};

TEST_F(ProportionalSplit, refusesMorePiecesThanBytesBeforeWriting)
{
    const std::vector tooMany { error(SplitMessages::TooManyPieces) };
    EXPECT_EQ(run(CutIntoParts { 99'999'999'999 }, 6), tooMany);
    EXPECT_EQ(run(CutEvery { "1", { 0, 0, 1 } }, 1'000'000'000'000), tooMany);
}

TEST_F(ProportionalSplit, everyOnASourceUnderOneSecondOrUnmeasuredWritesNothing)
{
    const CutEvery every { "30", { 0, 0, 30 } };
    // No box in the window; one line on the command line.
    EXPECT_EQ(run(every, 0),
        std::vector<std::string> {
            "explain: The mp3 file is shorter than one second: there is nothing to split." });
    // The front end said why it could not measure.
    EXPECT_EQ(run(every, std::nullopt), std::vector<std::string> {});
}

// What the window sends as its buttons are pressed before a file is open.

CutRequest withoutSource(CutShape shape, bool exact, int* measured)
{
    CutRequest request;
    request.exact = exact;
    request.shape = std::move(shape);
    request.measureSeconds = [measured] {
        ++*measured;
        return std::optional<std::int64_t>(100);
    };
    return request;
}

class NoSource : public ::testing::TestWithParam<bool>
{
protected:
    std::vector<std::string> run(CutShape shape)
    {
        RecordingHost host;
        EXPECT_EQ(RunCut(withoutSource(std::move(shape), GetParam(), &m_measured), host).status,
            SplitStatus::Stopped);
        return host.calls();
    }
    int m_measured = 0;
};

// Without a source: the range asks for one, before the length is measured.
TEST_P(NoSource, rangeSaysToOpenOneFirst)
{
    EXPECT_EQ(run(CutBetween { {}, TimeMark::fromSeconds(5), "cut.mp3" }),
        std::vector<std::string>({ "error: " + std::string(SplitMessages::NoSource) }));
    EXPECT_EQ(m_measured, 0);
}

// Parts and pieces of a length: nothing at all is said.
TEST_P(NoSource, splitsDoNothing)
{
    EXPECT_TRUE(run(CutIntoParts { 3 }).empty());
    EXPECT_TRUE(run(CutEvery { "60", TimeMark::fromSeconds(60) }).empty());
    EXPECT_EQ(m_measured, 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, NoSource, ::testing::Values(false, true),
    [](const auto& param) { return param.param ? "exact" : "proportional"; });

} // namespace

} // namespace parvex
