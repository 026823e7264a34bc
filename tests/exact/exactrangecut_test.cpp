// The exact range cut's write through a temporary file: a failure mid-piece leaves the old
// output whole and nothing else behind. The CLI tests cover the checks and a good cut.
#include "exactrangecut.h"
#include "filesizelimit.h"
#include "mp3fixture.h"
#include "recordinghost.h"

#include <gtest/gtest.h>

#include <cerrno>

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

} // namespace
