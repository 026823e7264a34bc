// SPDX-License-Identifier: GPL-3.0-or-later
// The fixed-length split: the seconds box, the part count, the last piece, a source beyond 2 GiB.
#include "byteoffsets.h"
#include "filesizelimit.h"
#include "mp3fixture.h"
#include "recordinghost.h"
#include "splitmessages.h"
#include "splitoperations.h"
#include "splittesthelpers.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace parvex {

namespace fs = std::filesystem;

namespace {

const std::string Done = "busy on\nbusy off\ndone\n";

class FixedLength : public ::testing::Test
{
protected:
    void makeSource(std::int64_t size)
    {
        fs::create_directory(m_dir / "out");
        MakePatternFile(m_dir / "song.mp3", size);
        m_source = ReadAll(m_dir / "song.mp3");
    }

    FixedLengthRequest request(std::int64_t total, std::string seconds)
    {
        return { m_dir / "song.mp3", total, std::move(seconds), m_dir / "out/" };
    }

    std::string run(const FixedLengthRequest& r)
    {
        m_result = SplitFixedLength(r, m_host);
        return JoinLines(m_host.calls());
    }

    fs::path part(int index) const
    {
        return m_dir / "out" / ("song_" + std::to_string(index) + ".mp3");
    }

    TempDir m_dir;
    std::vector<char> m_source;
    RecordingHost m_host;
    SplitResult m_result;
};

} // namespace

TEST_F(FixedLength, thirtySecondPiecesOfAHundredSeconds)
{
    makeSource(1'000'000);
    EXPECT_EQ(run(request(100, "30")), Done);
    ASSERT_EQ(m_result.written.size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ReadAll(part(i)), Slice(m_source, i * 300'000, 300'032)) << "part " << i;
    EXPECT_EQ(ReadAll(part(3)), Slice(m_source, 900'000, 100'000));
    EXPECT_EQ(m_host.progressReports().back(), std::make_pair(1'000'096l, 1'000'096l));
}

TEST_F(FixedLength, theLastPieceEndsWithTheLastByte)
{
    makeSource(1'000'010);
    EXPECT_EQ(run(request(60, "30")), Done);
    EXPECT_EQ(ReadAll(part(0)), Slice(m_source, 0, 500'224));
    EXPECT_EQ(ReadAll(part(1)), Slice(m_source, 500'004, 500'006));
}

// A source where the last nominal end comes out one byte short on a whole block: without the
// stretch to the end of the file, the last byte would be lost.
TEST_F(FixedLength, aLastBoundaryOneByteShortStillReachesTheEnd)
{
    constexpr std::int64_t size = 15'362;
    ASSERT_EQ(FixedLengthOffset(3, 90, size, 30), size - 1);
    ASSERT_EQ((size - 1 - FixedLengthOffset(2, 90, size, 30)) % 512, 0);
    makeSource(size);
    EXPECT_EQ(run(request(90, "30")), Done);
    EXPECT_FALSE(fs::exists(part(3)));
    EXPECT_EQ(ReadAll(part(2)), Slice(m_source, FixedLengthOffset(2, 90, size, 30), size));
}

TEST_F(FixedLength, aPieceLongerThanTheSourceHoldsItAll)
{
    makeSource(10'000);
    EXPECT_EQ(run(request(90, "100")), Done);
    EXPECT_EQ(ReadAll(part(0)), m_source);
    EXPECT_FALSE(fs::exists(part(1)));
}

TEST_F(FixedLength, theSecondsBoxIsReadAsItsLeadingInteger)
{
    makeSource(1'000'000);
    for (const char* text : { "45s", "+45", "  45" }) {
        SCOPED_TRACE(text);
        RecordingHost host;
        const SplitResult result = SplitFixedLength(request(100, text), host);
        EXPECT_EQ(result.status, SplitStatus::Done);
        EXPECT_EQ(result.written.size(), 3u);
    }
}

TEST_F(FixedLength, fewerThanOneSecondPerPieceDoesNothing)
{
    makeSource(1000);
    for (const char* text : { "0", "", "abc", "-30", "-150" }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(SplitFixedLength(request(100, text), m_host).status, SplitStatus::Stopped);
    }
    EXPECT_EQ(SplitFixedLength(request(0, "30"), m_host).status, SplitStatus::Stopped);
    FixedLengthRequest noSource = request(100, "30");
    noSource.sourcePath.clear();
    EXPECT_EQ(SplitFixedLength(noSource, m_host).status, SplitStatus::Stopped);
    EXPECT_TRUE(m_host.calls().empty());
    EXPECT_TRUE(fs::is_empty(m_dir / "out"));
}

TEST_F(FixedLength, aMissingSourceIsAFileError)
{
    makeSource(10);
    FixedLengthRequest r = request(100, "30");
    r.sourcePath = m_dir / "missing.mp3";
    EXPECT_EQ(run(r), "file error: " + std::string(SplitMessages::CannotOpenSource) + '\n');
    EXPECT_EQ(m_result.status, SplitStatus::Failed);
}

TEST_F(FixedLength, aFileSizeLimitStopsInTheFirstPiece)
{
    makeSource(1'000'000);
    const std::string log = RunWithFileSizeLimit(200'000, [&] {
        RecordingHost host;
        const SplitResult result = SplitFixedLength(request(100, "30"), host);
        return JoinLines(host.calls()) + std::to_string(result.written.size());
    });
    EXPECT_EQ(log,
        "busy on\nbusy off\nfile error: " + std::string(SplitMessages::CannotWriteOutput) + "\n0");
    EXPECT_FALSE(fs::exists(part(0)));
    EXPECT_FALSE(fs::exists(part(1)));
}

TEST_F(FixedLength, aDeviceUnderAPiecesNameIsNeverOpened)
{
    makeSource(1'000'000);
    fs::create_symlink("/dev/full", part(2));
    EXPECT_EQ(run(request(100, "30")),
        "busy on\nbusy off\nfile error: " + std::string(SplitMessages::CannotOpenOutput) + '\n');
    EXPECT_EQ(m_result.status, SplitStatus::Failed);
    EXPECT_EQ(m_result.written.size(), 2u);
    EXPECT_EQ(ReadAll(part(0)), Slice(m_source, 0, 300'032));
    EXPECT_EQ(ReadAll(part(1)), Slice(m_source, 300'000, 300'032));
    EXPECT_TRUE(fs::is_symlink(part(2)));
    EXPECT_FALSE(fs::exists(part(3)));
}

} // namespace parvex
