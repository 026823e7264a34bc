// The exact range cut's write through a temporary file: a failure mid-piece, or a source that
// changes under it, leaves the old output whole and nothing else behind. The CLI tests cover the
// checks and a good cut.
#include "exactrangecut.h"
#include "filesizelimit.h"
#include "mp3fixture.h"
#include "recordinghost.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

TEST(ExactRangeCut, aWriteFailureMidPieceLeavesTheOldOutputWholeAndNoPartialPiece)
{
    TempDir dir;
    const fs::path source = dir / "song.mp3";
    const fs::path output = dir / "cut.mp3";
    std::string error;
    ASSERT_TRUE(MakeMp3(source, { 3.0, 44100, 2, { "-b", "128" } }, &error)) << error;
    MakePatternFile(output, 1000);
    const auto before = ReadAll(output);

    RecordingHost host;
    host.answerNext(true);
    SplitResult result;
    {
        const FileSizeLimit limit(16 * 1024); // the piece is about 32 KB
        result = CutRangeExact({ source.string(), {}, { 0, 0, 2 }, output.string() }, host);
    }
    EXPECT_EQ(result.status, SplitStatus::Failed);
    EXPECT_EQ(result.errorNumber, EFBIG);
    EXPECT_EQ(host.calls(),
        (std::vector<std::string> { "replace? " + output.string(), "busy on", "busy off",
            "file error: Can not write the output mp3 file!" }));
    EXPECT_EQ(ReadAll(output), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
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
TEST(ExactRangeCut, aSourceChangedDuringTheCutIsReportedAndTheOldOutputStays)
{
    TempDir dir;
    const fs::path source = dir / "song.mp3";
    const fs::path output = dir / "cut.mp3";
    std::string error;
    ASSERT_TRUE(MakeMp3(source, { 3.0, 44100, 2, { "-b", "128" } }, &error)) << error;
    MakePatternFile(output, 1000);
    const auto before = ReadAll(output);

    SourceChangingHost host(source);
    host.answerNext(true);
    const SplitResult result
        = CutRangeExact({ source.string(), {}, { 0, 0, 2 }, output.string() }, host);
    EXPECT_EQ(result.status, SplitStatus::Failed);
    EXPECT_EQ(host.calls().back(), "file error: Can not read the mp3 file!");
    EXPECT_EQ(ReadAll(output), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

} // namespace
