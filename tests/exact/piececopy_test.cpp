// SPDX-License-Identifier: GPL-3.0-or-later
// What lets a piece's copy run in the kernel: the index's byte CRCs give the CRC of any range, a
// source the kernel cannot copy from goes through the buffer, and a range cut's index stops past
// its marks with the frames the whole index has.
#include "bytecrcs.h"
#include "crc16.h"
#include "mp3fixture.h"
#include "pieceplan.h"
#include "piecewriter.h"
#include "scanreader.h"
#include "streamscan.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace parvex {

namespace {

TEST(ByteCrcs, giveTheCrcOfAnyRangeOfTheBytesTheWalkRead)
{
    TempDir dir;
    const auto path = dir / "pattern.bin";
    constexpr std::int64_t step = ByteCrcs::kStep;
    constexpr std::int64_t origin = 100;
    const std::int64_t size = origin + 5 * step + 1234;
    MakePatternFile(path, size);
    const auto file = ReadAll(path);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ScanReader reader;
    ASSERT_TRUE(reader.open(fd, origin));
    for (std::int64_t at = origin; at + 38 <= size; at += 417)
        ASSERT_TRUE(reader.view(at, 38)) << at;
    const ByteCrcs crcs = reader.finish();
    EXPECT_EQ(crcs.atSteps.size(), 6u);

    const std::pair<std::int64_t, std::int64_t> ranges[] = { { origin, origin }, { origin, size },
        { origin + step, origin + 2 * step }, { origin + step - 1, origin + 3 * step + 1 },
        { origin + 4 * step + 5, size }, { 0, 50 }, { 7, origin + step + 3 } };
    for (const auto& [from, to] : ranges) {
        std::uint16_t crc = 1;
        EXPECT_TRUE(ByteRangeCrc(crcs, fd, from, to, crc));
        EXPECT_EQ(crc, Crc16Arc(bytes + from, static_cast<std::size_t>(to - from)))
            << from << "-" << to;
        EXPECT_TRUE(ByteRangeCrc(ByteCrcs {}, fd, from, to, crc));
        EXPECT_EQ(crc, Crc16Arc(bytes + from, static_cast<std::size_t>(to - from)));
    }
    std::uint16_t crc = 0;
    EXPECT_FALSE(ByteRangeCrc(crcs, fd, origin, size + 1, crc)); // the file is shorter
    ::close(fd);
}

// A walk whose halves did not join goes on after finish(): a view across the buffer's end must
// still give the file's bytes, not memory before the buffer.
TEST(ScanReader, viewsTheFilesBytesAcrossItsBufferAfterFinishing)
{
    TempDir dir;
    const auto path = dir / "pattern.bin";
    MakePatternFile(path, 600 * 1024);
    const auto file = ReadAll(path);
    const int fd = ::open(path.c_str(), O_RDONLY);
    ScanReader reader;
    ASSERT_TRUE(reader.open(fd, 0));
    ASSERT_TRUE(reader.view(0, 38));
    reader.finish();
    for (const std::int64_t at : { 256 * 1024 - 10, 512 * 1024 - 37 }) {
        const std::uint8_t* view = reader.view(at, 38);
        ASSERT_TRUE(view) << at;
        EXPECT_TRUE(std::equal(view, view + 38, file.begin() + at, [](std::uint8_t a, char b) {
            return a == static_cast<std::uint8_t>(b);
        })) << at;
    }
    ::close(fd);
}

class PieceCopy : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(MakeMp3(m_path, { .seconds = 10.0 }, &error)) << error;
    }

    TempDir m_dir;
    std::filesystem::path m_path = m_dir / "source.mp3";
};

// memfd's file system is not the output's: copy_file_range says EXDEV.
TEST_F(PieceCopy, aSourceTheKernelCannotCopyFromGivesTheSamePieceThroughTheBuffer)
{
    const IndexOutcome indexed = IndexMp3Stream(m_path.string());
    ASSERT_TRUE(indexed.index);
    const std::int64_t rate = indexed.index->gapless.sampleRate;
    const PiecePlan piece = PlanPieces(*indexed.index, { rate, 9 * rate }).front();
    const auto source = ReadAll(m_path);
    const int memory = ::memfd_create("source", MFD_CLOEXEC);
    ASSERT_EQ(::write(memory, source.data(), source.size()), std::ssize(source));
    const int file = ::open(m_path.c_str(), O_RDONLY);
    std::vector<std::vector<char>> pieces;
    for (const int sourceFd : { file, memory }) {
        const auto path = m_dir / ("piece" + std::to_string(pieces.size()));
        const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::int64_t reported = 0;
        const PieceWriteOutcome written = WritePiece(*indexed.index, piece, sourceFd, out,
            [&reported](std::int64_t bytes) { return (reported = bytes) > 0; });
        ::close(out);
        EXPECT_TRUE(written.written) << written.error;
        EXPECT_EQ(reported, written.bytes);
        pieces.push_back(ReadAll(path));
    }
    ::close(file);
    ::close(memory);
    EXPECT_GT(pieces[0].size(), source.size() * 3 / 4);
    EXPECT_EQ(pieces[0], pieces[1]);
}

TEST_F(PieceCopy, aRangeIndexStopsPastItsMarkWithTheWholeIndexsFramesAndPlan)
{
    const IndexOutcome whole = IndexMp3Stream(m_path.string());
    const IndexOutcome range = IndexMp3Stream(m_path.string(), 3);
    const IndexOutcome pastTheEnd = IndexMp3Stream(m_path.string(), 11);
    ASSERT_TRUE(whole.index && range.index && pastTheEnd.index);
    EXPECT_TRUE(whole.index->toEnd);
    EXPECT_TRUE(pastTheEnd.index->toEnd);
    EXPECT_EQ(pastTheEnd.index->frames.size(), whole.index->frames.size());
    EXPECT_FALSE(range.index->toEnd);
    const std::int64_t rate = whole.index->gapless.sampleRate;
    EXPECT_GT(range.index->gapless.totalSamples, 3 * rate);
    EXPECT_LT(range.index->frames.size(), whole.index->frames.size() / 2);
    for (std::size_t i = 0; i < range.index->frames.size(); ++i)
        ASSERT_EQ(range.index->frames[i].offset, whole.index->frames[i].offset);
    const PiecePlan fromRange = PlanPieces(*range.index, { rate, 3 * rate }).front();
    const PiecePlan fromWhole = PlanPieces(*whole.index, { rate, 3 * rate }).front();
    EXPECT_EQ(fromRange.start.leadInFrom, fromWhole.start.leadInFrom);
    EXPECT_EQ(fromRange.endFrame, fromWhole.endFrame);
    EXPECT_EQ(fromRange.delay, fromWhole.delay);
    EXPECT_EQ(fromRange.padding, fromWhole.padding);
}

} // namespace

} // namespace parvex
