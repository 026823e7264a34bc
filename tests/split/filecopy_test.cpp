// SPDX-License-Identifier: GPL-3.0-or-later
// The block copy and the small file functions under it.
#include "fileaccess.h"
#include "filecopy.h"
#include "mp3fixture.h"
#include "splittesthelpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File open(const fs::path& path, const char* mode)
{
    return File(std::fopen(path.c_str(), mode));
}

class ByteCopy : public ::testing::Test
{
protected:
    static constexpr std::int64_t SourceSize = 10'000;

    void SetUp() override
    {
        MakePatternFile(m_dir / "source", SourceSize);
        m_bytes = ReadAll(m_dir / "source");
    }

    // Copies `range` into a fresh output and returns the outcome; the bytes are in "out".
    CopyOutcome copy(ByteRange range, std::span<char> buffer = {}, const CopyProgress& onBlock = {})
    {
        File source = open(m_dir / "source", "rb");
        File output = open(m_dir / "out", "wb");
        return CopyByteRange(source.get(), output.get(), range, buffer, onBlock);
    }

    TempDir m_dir;
    std::vector<char> m_bytes;
};

struct BlockCase
{
    ByteRange range;
    std::int64_t written;
};

} // namespace

TEST_F(ByteCopy, writesWholeBlocksCutShortByTheEndOfFile)
{
    const BlockCase cases[] = {
        { { 0, 1024 }, 1024 }, // whole blocks: exact
        { { 0, 1000 }, 1024 }, // rounded up to a whole block
        { { 5, 6 }, 512 }, // one byte is one block
        { { 100, 100 }, 0 }, // empty
        { { 200, 100 }, 0 }, // reversed
        { { 9900, 9950 }, 100 }, // the block runs past the end
        { { 9000, 20'000 }, 1000 }, // the range runs past the end
        { { 10'000, 10'100 }, 0 }, // starts at the end
        { { 10'500, 11'000 }, 0 }, // starts beyond it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.range.start << ".." << c.range.end);
        const CopyOutcome outcome = copy(c.range);
        EXPECT_TRUE(outcome.ok());
        EXPECT_EQ(outcome.bytesWritten, c.written);
        EXPECT_EQ(CopiedByteCount(c.range, SourceSize), c.written);
        EXPECT_EQ(ReadAll(m_dir / "out"), Slice(m_bytes, c.range.start, c.written));
    }
}

// Files copy in the kernel; a stream without a descriptor (here, memory) goes through the buffer.
// Either way the bytes, the progress reports and a cancel behave the same.
TEST_F(ByteCopy, bufferSizeAndKernelCopyDoNotChangeTheBytes)
{
    const ByteRange range { 333, 5000 }; // 4,667 bytes: ten blocks, 5,120 bytes
    const auto expected = Slice(m_bytes, 333, 5120);
    for (const std::size_t size : { 0u, 1u, 511u, 512u, 1000u, 4096u, 65536u }) {
        SCOPED_TRACE(size);
        std::vector<char> buffer(size);
        File source = size == 0 ? open(m_dir / "source", "rb")
                                : File(fmemopen(m_bytes.data(), m_bytes.size(), "rb"));
        File output = open(m_dir / "out", "wb");
        std::vector<std::int64_t> reports;
        const auto outcome = CopyByteRange(source.get(), output.get(), range, buffer,
            [&](std::int64_t written) { return reports.push_back(written), true; });
        output.reset();
        ASSERT_TRUE(outcome.ok());
        EXPECT_EQ(ReadAll(m_dir / "out"), expected);
        ASSERT_FALSE(reports.empty());
        EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
        EXPECT_EQ(reports.back(), 5120);
    }
}

TEST_F(ByteCopy, aCancelStopsAfterTheBlockAndAppendsAtTheOutputsPosition)
{
    for (const bool kernel : { true, false }) {
        SCOPED_TRACE(kernel);
        File source = kernel ? open(m_dir / "source", "rb")
                             : File(fmemopen(m_bytes.data(), m_bytes.size(), "rb"));
        File output = open(m_dir / "out", "wb");
        ASSERT_TRUE(CopyByteRange(source.get(), output.get(), { 0, 100 }).ok());
        std::vector<char> buffer(1024);
        const auto outcome = CopyByteRange(
            source.get(), output.get(), { 1000, 9000 }, buffer, [](std::int64_t) { return false; });
        output.reset();
        EXPECT_EQ(outcome.error, CopyError::Cancelled);
        auto expected = Slice(m_bytes, 0, 512);
        const auto block = Slice(m_bytes, 1000, outcome.bytesWritten);
        expected.insert(expected.end(), block.begin(), block.end());
        EXPECT_EQ(ReadAll(m_dir / "out"), expected);
    }
}

TEST_F(ByteCopy, aReadErrorIsNotTheEndOfTheFile)
{
    File source(OpenFailingReader(100'000, 3000, EIO));
    File output = open(m_dir / "out", "wb");
    std::vector<char> buffer(1024);
    const CopyOutcome outcome = CopyByteRange(source.get(), output.get(), { 0, 50'000 }, buffer);
    EXPECT_EQ(outcome.error, CopyError::Read);
    EXPECT_EQ(outcome.errorNumber, EIO);
    EXPECT_EQ(outcome.bytesWritten, 2048);
}

TEST_F(ByteCopy, aShortWriteIsAWriteFailureKeepingErrno)
{
    File source = open(m_dir / "source", "rb");
    File output(OpenFailingWriter(3000, ENOSPC, false));
    const CopyOutcome outcome = CopyByteRange(source.get(), output.get(), { 0, 8192 });
    EXPECT_EQ(outcome.error, CopyError::Write);
    EXPECT_EQ(outcome.errorNumber, ENOSPC);
    EXPECT_EQ(outcome.bytesWritten, 3000);
}

TEST_F(ByteCopy, aNegativeStartCannotBeRead)
{
    const CopyOutcome outcome = copy({ -10, 600 });
    EXPECT_EQ(outcome.error, CopyError::Read);
    EXPECT_EQ(outcome.errorNumber, EINVAL);
}

TEST(CloseOutput, aFailureWhenTheLastBytesReachTheFileIsReported)
{
    std::FILE* output = OpenFailingWriter(10, ENOSPC, true);
    ASSERT_EQ(std::fwrite("0123456789abcdef", 1, 16, output), 16u); // still in the buffer
    EXPECT_EQ(CloseOutput(output), ENOSPC);
}

TEST(FileFunctions, measureIs64BitAndRestoresThePosition)
{
    TempDir dir;
    constexpr std::int64_t size = (std::int64_t { 5 } << 30) + 7;
    MakeSparseFile(dir / "big", size, 0, "x");
    File stream = open(dir / "big", "rb");
    ASSERT_EQ(fseeko(stream.get(), 123, SEEK_SET), 0);
    EXPECT_EQ(MeasureFileSize(stream.get()), size);
    EXPECT_EQ(ftello(stream.get()), 123);
}

TEST(FileFunctions, aStreamThatCannotSeekHasNoSize)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    File stream(fdopen(fds[0], "rb"));
    close(fds[1]);
    EXPECT_EQ(MeasureFileSize(stream.get()), -1);
}

TEST(FileFunctions, onlyARegularFileIsASourceOrAnOutput)
{
    TempDir dir;
    MakePatternFile(dir / "file", 10);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(KindOfPath(dir / "file"), PathKind::RegularFile);
    EXPECT_EQ(KindOfPath(dir / "missing"), PathKind::Missing);
    EXPECT_EQ(KindOfPath(dir.path()), PathKind::Special);
    EXPECT_EQ(KindOfPath(dir / "fifo"), PathKind::Special);
    EXPECT_EQ(KindOfPath("/dev/null"), PathKind::Special);
    EXPECT_EQ(RegularFileSize(dir / "file"), 10);
    // A FIFO without a writer or reader would block an open; these return at once.
    EXPECT_EQ(OpenSourceFile(dir / "fifo"), nullptr);
    EXPECT_EQ(errno, ENODEV);
    EXPECT_EQ(RegularFileSize(dir / "fifo"), std::nullopt);
    EXPECT_EQ(CreateOutputFile(dir / "fifo"), nullptr);
    EXPECT_EQ(CreateOutputFile(dir.path()), nullptr);
    EXPECT_EQ(errno, EISDIR);
}

TEST(FileFunctions, sameFileMeansTheSameFileHoweverSpelled)
{
    TempDir dir;
    MakePatternFile(dir / "a.mp3", 10);
    MakePatternFile(dir / "b.mp3", 10);
    fs::create_directory(dir / "sub");
    fs::create_hard_link(dir / "a.mp3", dir / "hard.mp3");
    fs::create_symlink(dir / "a.mp3", dir / "soft.mp3");
    const std::string a = dir / "a.mp3";
    EXPECT_TRUE(IsSameFile(a, a));
    EXPECT_TRUE(IsSameFile(a, dir / "sub/../a.mp3"));
    EXPECT_TRUE(IsSameFile(a, dir / "hard.mp3"));
    EXPECT_TRUE(IsSameFile(a, dir / "soft.mp3"));
    EXPECT_FALSE(IsSameFile(a, dir / "b.mp3"));
    EXPECT_FALSE(IsSameFile(a, dir / "missing.mp3"));
    EXPECT_FALSE(IsSameFile(dir / "missing.mp3", dir / "missing.mp3"));
}

TEST(FileFunctions, copiesFromBeyondFourGiB)
{
    TempDir dir;
    constexpr std::int64_t offset = (std::int64_t { 1 } << 32) + 100;
    const std::string marker(600, 'M');
    MakeSparseFile(dir / "big", offset + 10'000, offset, marker);
    File source = open(dir / "big", "rb");
    File output = open(dir / "out", "wb");
    const auto outcome = CopyByteRange(source.get(), output.get(), { offset - 10, offset + 500 });
    output.reset();
    ASSERT_TRUE(outcome.ok());
    std::vector<char> expected(10, '\0');
    expected.insert(expected.end(), 502, 'M');
    EXPECT_EQ(ReadAll(dir / "out"), expected);
}

} // namespace parvex
