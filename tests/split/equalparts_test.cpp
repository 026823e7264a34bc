// SPDX-License-Identifier: GPL-3.0-or-later
// The equal-parts split: names, bytes, coverage, refusals and what a failure leaves.
#include "filesizelimit.h"
#include "mp3fixture.h"
#include "partnames.h"
#include "recordinghost.h"
#include "splitmessages.h"
#include "splitoperations.h"
#include "splittesthelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

const std::string Done = "busy on\nbusy off\ndone\n";

class EqualParts : public ::testing::Test
{
protected:
    void makeSource(std::int64_t size)
    {
        fs::create_directory(m_dir / "out");
        MakePatternFile(m_dir / "song.mp3", size);
        m_source = ReadAll(m_dir / "song.mp3");
    }

    EqualPartsRequest request(std::int64_t count)
    {
        return { m_dir / "song.mp3", true, count, m_dir / "out" };
    }

    std::string run(const EqualPartsRequest& r)
    {
        m_result = SplitEqualParts(r, m_host);
        return JoinLines(m_host.calls());
    }

    fs::path part(int index) const { return m_dir / "out" / MakePartFileName("song.mp3", index); }

    TempDir m_dir;
    std::vector<char> m_source;
    RecordingHost m_host;
    SplitResult m_result;
};

} // namespace

TEST_F(EqualParts, aThousandBytesInThreeParts)
{
    makeSource(1000);
    EXPECT_EQ(run(request(3)), Done);
    EXPECT_EQ(m_result.written,
        (std::vector<std::string> {
            m_dir / "out/song_0.mp3", m_dir / "out/song_1.mp3", m_dir / "out/song_2.mp3" }));
    EXPECT_EQ(ReadAll(part(0)), Slice(m_source, 0, 512));
    EXPECT_EQ(ReadAll(part(1)), Slice(m_source, 333, 512));
    EXPECT_EQ(ReadAll(part(2)), Slice(m_source, 666, 334));
    EXPECT_EQ(m_host.progressReports().back(), std::make_pair(1358l, 1358l));
}

TEST_F(EqualParts, twentyTwoBytesInTwentyTwoPartsKeepsTheEmptyPart)
{
    makeSource(22);
    EXPECT_EQ(run(request(22)), Done);
    for (int i = 0; i < 22; ++i) {
        const std::int64_t start = i == 15 ? 14 : i;
        EXPECT_EQ(ReadAll(part(i)), Slice(m_source, start, i == 14 ? 0 : 22)) << "part " << i;
    }
    EXPECT_FALSE(fs::exists(part(22)));
}

TEST_F(EqualParts, onePartHoldsEveryByteOfASourceBeyondSinglePrecision)
{
    makeSource(16'777'217);
    EXPECT_EQ(run(request(1)), Done);
    EXPECT_EQ(ReadAll(part(0)), m_source);
}

TEST_F(EqualParts, nothingHappensWithoutASourceOrAPositiveCount)
{
    makeSource(1000);
    EqualPartsRequest r = request(3);
    r.sourceOpen = false;
    for (const auto& req : { r, request(0), request(-1) }) {
        EXPECT_EQ(SplitEqualParts(req, m_host).status, SplitStatus::Stopped);
        EXPECT_TRUE(m_host.calls().empty());
    }
    EXPECT_TRUE(fs::is_empty(m_dir / "out"));
}

TEST_F(EqualParts, aFolderWithoutSeparatorGetsOne)
{
    makeSource(1000);
    EqualPartsRequest r = request(2);
    ASSERT_NE(r.outputFolder.back(), '/');
    EXPECT_EQ(run(r), Done);
    EXPECT_TRUE(fs::exists(part(0)));
    EXPECT_TRUE(fs::exists(part(1)));
}

TEST_F(EqualParts, anEmptyFolderMeansTheWorkingFolder)
{
    makeSource(1000);
    const fs::path previous = fs::current_path();
    fs::current_path(m_dir / "out");
    EqualPartsRequest r = request(1);
    r.outputFolder.clear();
    const std::string calls = run(r);
    fs::current_path(previous);
    EXPECT_EQ(calls, Done);
    EXPECT_EQ(ReadAll(part(0)), m_source);
}

TEST_F(EqualParts, theExtensionIsCutFromTheFileNameOnly)
{
    makeSource(100);
    fs::create_directory(m_dir / "My.Files");
    fs::copy_file(m_dir / "song.mp3", m_dir / "My.Files/track");
    EqualPartsRequest r = request(2);
    r.sourcePath = m_dir / "My.Files/track";
    EXPECT_EQ(run(r), Done);
    EXPECT_TRUE(fs::exists(m_dir / "out/track_0.mp3"));
    EXPECT_TRUE(fs::exists(m_dir / "out/track_1.mp3"));
}

TEST_F(EqualParts, existingPartsAreReplacedWithoutAQuestion)
{
    makeSource(1000);
    MakePatternFile(part(0), 5000);
    EXPECT_EQ(run(request(1)), Done);
    EXPECT_EQ(ReadAll(part(0)), m_source);
}

TEST_F(EqualParts, aPartThatIsTheSourceIsRefusedBeforeItIsOpened)
{
    makeSource(1000);
    fs::create_hard_link(m_dir / "song.mp3", part(1));
    EXPECT_EQ(run(request(3)),
        "busy on\nbusy off\nerror: " + std::string(SplitMessages::OutputIsSource) + '\n');
    EXPECT_EQ(m_result.status, SplitStatus::Failed);
    EXPECT_EQ(m_result.written, std::vector<std::string> { part(0) });
    EXPECT_EQ(ReadAll(m_dir / "song.mp3"), m_source);
    EXPECT_FALSE(fs::exists(part(2)));
}

TEST_F(EqualParts, theSourceItselfInTheOutputFolderIsRefusedWithoutBusy)
{
    makeSource(1000);
    fs::create_symlink(m_dir / "song.mp3", part(0));
    EXPECT_EQ(run(request(2)), "error: " + std::string(SplitMessages::OutputIsSource) + '\n');
    EXPECT_EQ(m_result.status, SplitStatus::Stopped);
    EXPECT_EQ(ReadAll(m_dir / "song.mp3"), m_source);
}

TEST_F(EqualParts, outputsThatCannotBeOpened)
{
    makeSource(1000);
    EqualPartsRequest r = request(2);
    r.outputFolder = m_dir / "song.mp3"; // a file, not a folder
    EXPECT_EQ(run(r), "file error: " + std::string(SplitMessages::CannotOpenOutput) + '\n');
    EXPECT_EQ(m_result.errorNumber, ENOTDIR);

    RecordingHost host;
    fs::create_directory(part(1)); // the second part's name is taken by a folder
    const SplitResult result = SplitEqualParts(request(3), host);
    EXPECT_EQ(JoinLines(host.calls()),
        "busy on\nbusy off\nfile error: " + std::string(SplitMessages::CannotOpenOutput) + '\n');
    EXPECT_EQ(result.written, std::vector<std::string> { part(0) });
    EXPECT_EQ(ReadAll(part(0)), Slice(m_source, 0, 512));
}

TEST_F(EqualParts, aSourceFolderCannotBeOpened)
{
    makeSource(10);
    EqualPartsRequest r = request(2);
    r.sourcePath = m_dir / "out";
    EXPECT_EQ(run(r), "file error: " + std::string(SplitMessages::CannotOpenSource) + '\n');
}

// A pipe opens but has no size: a source that cannot be read, not an empty one.
TEST_F(EqualParts, aFifoAsSourceIsRefusedAtOnce)
{
    makeSource(10);
    ASSERT_EQ(mkfifo((m_dir / "pipe.mp3").c_str(), 0600), 0);
    EqualPartsRequest r = request(2);
    r.sourcePath = m_dir / "pipe.mp3"; // no writer: opening it for reading would wait forever
    EXPECT_EQ(run(r), "file error: " + std::string(SplitMessages::CannotOpenSource) + '\n');
    EXPECT_EQ(m_result.errorNumber, ENODEV);
    EXPECT_TRUE(fs::is_empty(m_dir / "out"));
}

// The limit falls in the last 320 bytes of the first piece: a buffered stream would hold them
// until it is closed, so only a checked close tells the disk was full.
TEST_F(EqualParts, aFullDiskStopsAtThePartThatFailed)
{
    makeSource(1'000'000);
    const std::string log = RunWithFileSizeLimit(499'900, [&] {
        RecordingHost host;
        const SplitResult result = SplitEqualParts(request(2), host);
        return JoinLines(host.calls()) + std::to_string(result.written.size());
    });
    EXPECT_EQ(log,
        "busy on\nbusy off\nfile error: " + std::string(SplitMessages::CannotWriteOutput) + "\n0");
    EXPECT_FALSE(fs::exists(part(0)));
    EXPECT_FALSE(fs::exists(part(1)));
}

// A file whose reads fail: the kernel's interface attributes that have no value to give.
TEST_F(EqualParts, aReadErrorStopsTheSplitAndSaysSo)
{
    const fs::path unreadable = "/sys/class/net/lo/speed";
    std::FILE* probe = std::fopen(unreadable.c_str(), "rb");
    char byte = 0;
    const bool fails = probe && std::fread(&byte, 1, 1, probe) == 0 && std::ferror(probe);
    if (probe)
        std::fclose(probe);
    if (!fails)
        GTEST_SKIP() << unreadable << " is not there or reads without an error";
    makeSource(10);
    EqualPartsRequest r = request(2);
    r.sourcePath = unreadable;
    EXPECT_EQ(run(r),
        "busy on\nbusy off\nfile error: " + std::string(SplitMessages::CannotReadSource) + '\n');
    EXPECT_EQ(m_result.status, SplitStatus::Failed);
    EXPECT_TRUE(m_result.written.empty());
}

// Cancelled in the second piece: the first stays, and so does the old file of the second's name.
TEST_F(EqualParts, aCancelKeepsTheFinishedPiecesAndTheOldFileOfThePieceCutShort)
{
    class CancellingHost : public RecordingHost
    {
    public:
        bool cancelled() override { return progressReports().back().first > 600'000; }
    } host;
    makeSource(1'000'000);
    MakePatternFile(part(1), 10);
    const auto before = ReadAll(part(1));
    const SplitResult result = SplitEqualParts(request(2), host);
    EXPECT_EQ(result.status, SplitStatus::Cancelled);
    EXPECT_EQ(result.written, std::vector<std::string> { part(0) });
    EXPECT_EQ(ReadAll(part(1)), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "out"), fs::directory_iterator()), 2);
}

TEST_F(EqualParts, aSourceTruncatedUnderTheSplitGivesShorterPieces)
{
    makeSource(1000);
    m_host.onBusy([&](bool on) {
        if (on)
            fs::resize_file(m_dir / "song.mp3", 400);
    });
    EXPECT_EQ(run(request(3)), Done);
    EXPECT_EQ(ReadAll(part(0)), Slice(m_source, 0, 400));
    EXPECT_EQ(ReadAll(part(1)), Slice(m_source, 333, 67));
    EXPECT_TRUE(ReadAll(part(2)).empty());
}

TEST_F(EqualParts, aSourceRemovedUnderTheSplitIsStillCopied)
{
    makeSource(1000);
    m_host.onBusy([&](bool on) {
        if (on)
            fs::remove(m_dir / "song.mp3");
    });
    EXPECT_EQ(run(request(3)), Done);
    EXPECT_EQ(ReadAll(part(2)), Slice(m_source, 666, 334));
}

} // namespace parvex
