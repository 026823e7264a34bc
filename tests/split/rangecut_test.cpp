// SPDX-License-Identifier: GPL-3.0-or-later
// The range cut: its checks in order, the replace question, what it writes and what a failure
// leaves.
#include "filesizelimit.h"
#include "mp3fixture.h"
#include "recordinghost.h"
#include "splitmessages.h"
#include "splitoperations.h"
#include "splittesthelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <sys/stat.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

const std::string Done = "busy on\nbusy off\ndone\n";

class RangeCut : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MakePatternFile(m_dir / "song.mp3", 1'000'000);
        m_source = ReadAll(m_dir / "song.mp3");
    }

    // S = 1,000,000 bytes, T = 100 s: one second is 10,000 bytes.
    RangeCutRequest request(std::int64_t startSeconds, std::int64_t endSeconds)
    {
        RangeCutRequest r;
        r.sourcePath = m_dir / "song.mp3";
        r.sourceOpen = true;
        r.totalSeconds = 100;
        r.start = TimeMark::fromSeconds(startSeconds);
        r.end = TimeMark::fromSeconds(endSeconds);
        r.outputPath = m_dir / "cut.mp3";
        return r;
    }

    std::string run(const RangeCutRequest& r)
    {
        m_result = CutRange(r, m_host);
        return JoinLines(m_host.calls());
    }

    TempDir m_dir;
    std::vector<char> m_source;
    RecordingHost m_host;
    SplitResult m_result;
};

std::string error(std::string_view text)
{
    return "error: " + std::string(text) + '\n';
}
std::string fileError(std::string_view text)
{
    return "file error: " + std::string(text) + '\n';
}

} // namespace

TEST_F(RangeCut, writesWholeBlocksFromTheProportionalStart)
{
    EXPECT_EQ(run(request(10, 20)), Done);
    EXPECT_EQ(m_result.status, SplitStatus::Done);
    EXPECT_EQ(m_result.written, std::vector<std::string> { m_dir / "cut.mp3" });
    EXPECT_EQ(ReadAll(m_dir / "cut.mp3"), Slice(m_source, 100'000, 100'352));
    ASSERT_FALSE(m_host.progressReports().empty());
    EXPECT_EQ(m_host.progressReports().back(), std::make_pair(100'352l, 100'352l));
}

TEST_F(RangeCut, marksAddUpWithoutRangeChecks)
{
    RangeCutRequest r = request(0, 0);
    r.start = { 0, 0, 90 };
    r.end = { 0, 1, 39 };
    EXPECT_EQ(run(r), Done);
    EXPECT_EQ(ReadAll(m_dir / "cut.mp3"), Slice(m_source, 900'000, 90'112));
}

TEST_F(RangeCut, checksRunInOrderAndTouchNothing)
{
    struct Case
    {
        std::int64_t total, start, end;
        std::string_view message;
    };
    const Case cases[] = {
        { 100, 0, 100, SplitMessages::EndBeyondTotal }, { 100, 0, 0, SplitMessages::StartAfterEnd },
        { 100, 50, 40, SplitMessages::StartAfterEnd },
        { 150, 200, 100, SplitMessages::StartBeyondTotal },
        { 0, 0, 0, SplitMessages::StartBeyondTotal }, { 100, -5, 10, SplitMessages::StartNegative },
        { 0, -10, -5, SplitMessages::StartNegative }, // the only way past the checks with T = 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.total << ": " << c.start << ".." << c.end);
        RecordingHost host;
        RangeCutRequest r = request(0, 0);
        r.totalSeconds = c.total;
        r.start = { 0, 0, static_cast<std::int32_t>(c.start) };
        r.end = { 0, 0, static_cast<std::int32_t>(c.end) };
        EXPECT_EQ(CutRange(r, host).status, SplitStatus::Stopped);
        EXPECT_EQ(JoinLines(host.calls()), error(c.message));
        EXPECT_FALSE(fs::exists(m_dir / "cut.mp3"));
    }
}

TEST_F(RangeCut, noSourceComesBeforeEveryOtherCheck)
{
    RangeCutRequest r = request(200, 100);
    r.sourceOpen = false;
    EXPECT_EQ(run(r), error(SplitMessages::NoSource));
}

TEST_F(RangeCut, anEndBelowTheTotalIsAccepted)
{
    EXPECT_EQ(run(request(0, 99)), Done);
}

TEST_F(RangeCut, noToTheReplaceQuestionLeavesTheOldFile)
{
    MakePatternFile(m_dir / "cut.mp3", 10);
    const auto old = ReadAll(m_dir / "cut.mp3");
    m_host.answerNext(false);
    EXPECT_EQ(run(request(10, 20)), "replace? " + (m_dir / "cut.mp3").string() + '\n');
    EXPECT_EQ(m_result.status, SplitStatus::Stopped);
    EXPECT_EQ(ReadAll(m_dir / "cut.mp3"), old);
}

TEST_F(RangeCut, yesToTheReplaceQuestionReplacesIt)
{
    MakePatternFile(m_dir / "cut.mp3", 300'000);
    m_host.answerNext(true);
    EXPECT_EQ(run(request(10, 20)), "replace? " + (m_dir / "cut.mp3").string() + '\n' + Done);
    EXPECT_EQ(ReadAll(m_dir / "cut.mp3"), Slice(m_source, 100'000, 100'352));
}

TEST_F(RangeCut, aMissingSourceIsReportedBeforeTheQuestionAndTheOutputStays)
{
    MakePatternFile(m_dir / "cut.mp3", 10);
    RangeCutRequest r = request(10, 20);
    r.sourcePath = m_dir / "gone.mp3";
    m_host.answerNext(true);
    EXPECT_EQ(run(r), fileError(SplitMessages::CannotOpenSource));
    EXPECT_EQ(m_result.status, SplitStatus::Failed);
    EXPECT_EQ(m_result.errorNumber, ENOENT);
    EXPECT_EQ(ReadAll(m_dir / "cut.mp3").size(), 10u);
}

TEST_F(RangeCut, refusesAnOutputThatIsTheSourceBeforeAsking)
{
    fs::create_directory(m_dir / "sub");
    fs::create_hard_link(m_dir / "song.mp3", m_dir / "link.mp3");
    for (const fs::path& output :
        { m_dir / "song.mp3", m_dir / "sub/../song.mp3", m_dir / "link.mp3" }) {
        SCOPED_TRACE(output);
        RecordingHost host;
        RangeCutRequest r = request(10, 20);
        r.outputPath = output;
        host.answerNext(true);
        EXPECT_EQ(CutRange(r, host).status, SplitStatus::Stopped);
        EXPECT_EQ(JoinLines(host.calls()), error(SplitMessages::OutputIsSource));
        EXPECT_EQ(ReadAll(m_dir / "song.mp3"), m_source);
    }
}

// None of these is removed, truncated or even opened (a FIFO would wait for a peer), whatever the
// answer to a replace question that is never asked.
TEST_F(RangeCut, aFolderFifoOrDeviceIsNeitherASourceNorAnOutput)
{
    fs::create_directory(m_dir / "folder");
    ASSERT_EQ(mkfifo((m_dir / "fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", m_dir / "null");
    for (const char* name : { "folder", "fifo", "null" }) {
        SCOPED_TRACE(name);
        RecordingHost host;
        host.answerNext(true);
        RangeCutRequest r = request(10, 20);
        r.outputPath = m_dir / name;
        EXPECT_EQ(CutRange(r, host).status, SplitStatus::Stopped);
        EXPECT_EQ(JoinLines(host.calls()), fileError(SplitMessages::CannotOpenOutput));

        RecordingHost sourceHost;
        r = request(10, 20);
        r.sourcePath = m_dir / name;
        EXPECT_EQ(
            CutRange(r, sourceHost).errorNumber, name == std::string("folder") ? EISDIR : ENODEV);
        EXPECT_EQ(JoinLines(sourceHost.calls()), fileError(SplitMessages::CannotOpenSource));
    }
    EXPECT_TRUE(fs::is_directory(m_dir / "folder"));
    EXPECT_EQ(fs::status(m_dir / "fifo").type(), fs::file_type::fifo);
    EXPECT_EQ(fs::status(m_dir / "null").type(), fs::file_type::character);
    EXPECT_FALSE(fs::exists(m_dir / "cut.mp3"));
}

TEST_F(RangeCut, anOutputInAMissingFolderOrEmptyCannotBeOpened)
{
    RangeCutRequest r = request(10, 20);
    r.outputPath = m_dir / "missing/cut.mp3";
    EXPECT_EQ(run(r), fileError(SplitMessages::CannotOpenOutput));
    EXPECT_EQ(m_result.status, SplitStatus::Failed);

    RecordingHost host;
    r.outputPath.clear();
    EXPECT_EQ(CutRange(r, host).status, SplitStatus::Failed);
    EXPECT_EQ(JoinLines(host.calls()), fileError(SplitMessages::CannotOpenOutput));
}

TEST_F(RangeCut, acceptsPathsOfAnyLengthTheSystemTakes)
{
    fs::path folder = m_dir.path();
    for (int i = 0; i < 9; ++i)
        folder /= std::string(120, static_cast<char>('a' + i));
    fs::create_directories(folder);
    RangeCutRequest r = request(10, 20);
    fs::copy_file(m_dir / "song.mp3", folder / "song.mp3");
    r.sourcePath = folder / "song.mp3";
    r.outputPath = folder / "cut.mp3";
    ASSERT_GT(r.outputPath.size(), 1000u);
    MakePatternFile(r.outputPath, 1);
    m_host.answerNext(true);
    EXPECT_EQ(run(r), "replace? " + r.outputPath + '\n' + Done);
    EXPECT_EQ(ReadAll(r.outputPath), Slice(m_source, 100'000, 100'352));
}

TEST_F(RangeCut, aFullDiskLeavesNoPartialOutputAndNoDone)
{
    const std::string log = RunWithFileSizeLimit(50'000, [&] {
        RecordingHost host;
        const SplitResult result = CutRange(request(10, 20), host);
        return JoinLines(host.calls()) + "errno " + std::to_string(result.errorNumber);
    });
    EXPECT_EQ(log,
        "busy on\nbusy off\n" + fileError(SplitMessages::CannotWriteOutput) + "errno "
            + std::to_string(EFBIG));
    EXPECT_FALSE(fs::exists(m_dir / "cut.mp3"));
}

// A name of 240 bytes (80 CJK characters) is no harder than a short one, and a symbolic link at
// the output's path keeps pointing at the file the piece replaces.
TEST_F(RangeCut, aLongNameOrALinkIsWrittenLikeAnyOutput)
{
    std::string name;
    for (int i = 0; i < 80; ++i)
        name += "\xE6\x9B\xB2"; // U+66F2
    RangeCutRequest r = request(10, 20);
    r.outputPath = m_dir / name;
    EXPECT_EQ(run(r), Done);
    EXPECT_EQ(ReadAll(r.outputPath), Slice(m_source, 100'000, 100'352));

    RecordingHost host;
    MakePatternFile(m_dir / "target.mp3", 10);
    fs::create_symlink("target.mp3", m_dir / "cut.mp3");
    host.answerNext(true);
    CutRange(request(10, 20), host);
    EXPECT_EQ(JoinLines(host.calls()), "replace? " + (m_dir / "cut.mp3").string() + '\n' + Done);
    EXPECT_TRUE(fs::is_symlink(m_dir / "cut.mp3"));
    EXPECT_EQ(ReadAll(m_dir / "target.mp3"), Slice(m_source, 100'000, 100'352));
}

// Memory that runs out, or a host callback that throws, fails the piece as a write failure.
TEST_F(RangeCut, anExceptionMidPieceIsAWriteFailureThatLeavesNothing)
{
    m_host.onBusy([](bool on) {
        if (on)
            throw std::bad_alloc();
    });
    EXPECT_EQ(
        run(request(10, 20)), "busy on\nbusy off\n" + fileError(SplitMessages::CannotWriteOutput));
    EXPECT_EQ(m_result.errorNumber, ENOMEM);
    EXPECT_FALSE(fs::exists(m_dir / "cut.mp3"));
}

TEST_F(RangeCut, aSourceRemovedWhileItIsOpenIsStillCopied)
{
    m_host.onBusy([&](bool on) {
        if (on)
            fs::remove(m_dir / "song.mp3");
    });
    EXPECT_EQ(run(request(10, 20)), Done);
    EXPECT_EQ(ReadAll(m_dir / "cut.mp3"), Slice(m_source, 100'000, 100'352));
}

TEST_F(RangeCut, aSourceTruncatedUnderTheCopyEndsThePieceEarly)
{
    m_host.onBusy([&](bool on) {
        if (on)
            fs::resize_file(m_dir / "song.mp3", 150'000);
    });
    EXPECT_EQ(run(request(10, 20)), Done);
    EXPECT_EQ(ReadAll(m_dir / "cut.mp3"), Slice(m_source, 100'000, 50'000));
}

TEST_F(RangeCut, aSparseSourceBeyond2GiBIsCutAtTheRightOffset)
{
    constexpr std::int64_t size = std::int64_t { 5 } << 30; // 5 GiB, 1,024 bytes a second
    const std::string marker = "marker beyond 2 GiB";
    MakeSparseFile(m_dir / "big.mp3", size, 3'072'000'000, marker);
    RangeCutRequest r = request(0, 0);
    r.sourcePath = m_dir / "big.mp3";
    r.totalSeconds = 5'242'880;
    r.start = TimeMark::fromSeconds(3'000'000);
    r.end = TimeMark::fromSeconds(3'000'001);
    EXPECT_EQ(run(r), Done);
    std::vector<char> expected(marker.begin(), marker.end());
    expected.resize(1024, '\0');
    EXPECT_EQ(ReadAll(m_dir / "cut.mp3"), expected);
}

} // namespace parvex
