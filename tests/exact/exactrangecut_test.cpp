// SPDX-License-Identifier: GPL-3.0-or-later
// The exact range cut's write through a temporary file: a failure mid-piece, or a source that
// changes under it, leaves the old output whole and nothing else behind. tests/plan covers the
// checks and a good cut.
#include "exactrequests.h"
#include "filesizelimit.h"
#include "mp3fixture.h"
#include "recordinghost.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

// A 3 s CBR source and an older output the cut is allowed to replace.
class ExactRangeCutFailure : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(MakeMp3(m_source, { 3.0, 44100, 2, { "-b", "128" } }, &error)) << error;
        MakePatternFile(m_output, 1000);
        m_before = ReadAll(m_output);
    }

    SplitResult cut(RecordingHost& host)
    {
        host.answerNext(true);
        return RunExactRange(m_source, {}, { 0, 0, 2 }, m_output, host);
    }

    void expectTheOldOutputWholeAndNothingElse()
    {
        EXPECT_EQ(ReadAll(m_output), m_before);
        EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.path()), fs::directory_iterator()), 2);
    }

    TempDir m_dir;
    fs::path m_source = m_dir / "song.mp3";
    fs::path m_output = m_dir / "cut.mp3";
    std::vector<char> m_before;
};

TEST_F(ExactRangeCutFailure, aWriteFailureMidPieceLeavesTheOldOutputWholeAndNoPartialPiece)
{
    RecordingHost host;
    SplitResult result;
    {
        const FileSizeLimit limit(16 * 1024); // the piece is about 32 KB
        result = cut(host);
    }
    EXPECT_EQ(result.status, SplitStatus::Failed);
    EXPECT_EQ(result.errorNumber, EFBIG);
    EXPECT_EQ(host.calls(),
        (std::vector<std::string> { "replace? " + m_output.string(), "busy on", "busy off",
            "file error: Can not write the output mp3 file!" }));
    expectTheOldOutputWholeAndNothingElse();
}

// Writes to the source (here: a new modification time) while its piece is being copied.
class SourceChangingHost : public RecordingHost
{
public:
    explicit SourceChangingHost(fs::path source)
        : m_source(std::move(source))
    { }

    void progress(std::int64_t bytesDone, std::int64_t bytesTotal) override
    {
        RecordingHost::progress(bytesDone, bytesTotal);
        const timespec times[2] = { { 0, UTIME_OMIT }, { 1'000'000'000, 0 } };
        ::utimensat(AT_FDCWD, m_source.c_str(), times, 0);
    }

private:
    fs::path m_source;
};

// The index's offsets and music CRC would no longer describe the bytes copied.
TEST_F(ExactRangeCutFailure, aSourceChangedDuringTheCutIsReportedAndTheOldOutputStays)
{
    SourceChangingHost host(m_source);
    EXPECT_EQ(cut(host).status, SplitStatus::Failed);
    EXPECT_EQ(host.calls().back(), "file error: Can not read the mp3 file!");
    expectTheOldOutputWholeAndNothingElse();
}

} // namespace

} // namespace parvex
