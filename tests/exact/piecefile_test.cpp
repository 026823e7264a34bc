// SPDX-License-Identifier: GPL-3.0-or-later
// WritePieceFile: an exact piece under any name the file system takes, and nothing but a
// failure's text when something throws on the way.
#include "mp3fixture.h"
#include "piecefile.h"
#include "splitmessages.h"
#include "streamscan.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

// A 3 s CBR source open as m_fd, its index, and its first two seconds as the piece.
class PieceFile : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(MakeMp3(m_source, { 3.0, 44100, 2, { "-b", "128" } }, &error)) << error;
        m_fd = ::open(m_source.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(m_fd, 0);
        IndexOutcome indexed = IndexMp3Stream(m_fd);
        ASSERT_TRUE(indexed.index);
        m_index = std::move(*indexed.index);
        m_piece = PlanPieces(m_index, { 0, 2 * m_index.gapless.sampleRate }).front();
    }

    void TearDown() override { ::close(m_fd); }

    std::optional<PieceFileFailure> write(const fs::path& output, const PieceProceed& proceed = {})
    {
        return WritePieceFile(m_index, m_piece, m_fd, output.string(), {}, proceed);
    }

    std::size_t filesInFolder() const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_dir.path()), fs::directory_iterator()));
    }

    TempDir m_dir;
    fs::path m_source = m_dir / "song.mp3";
    int m_fd = -1;
    StreamIndex m_index;
    PiecePlan m_piece;
};

// 80 CJK characters, 240 of the 255 bytes a name may have: the temporary file needs no room in it.
TEST_F(PieceFile, aNameOf240BytesIsWritten)
{
    std::string name;
    for (int i = 0; i < 80; ++i)
        name += "\xE6\x9B\xB2"; // U+66F2
    const auto failure = write(m_dir / name);
    EXPECT_FALSE(failure) << failure->message << " " << failure->errorNumber;
    EXPECT_GT(fs::file_size(m_dir / name), 30'000u);
    EXPECT_EQ(filesInFolder(), 2u);
}

// Memory that runs out, or anything else a progress callback throws, fails the piece with the
// write failure's text; the old output stays and no temporary file is left.
TEST_F(PieceFile, anExceptionOnTheWayFailsThePieceAndLeavesTheOldOutputWhole)
{
    const fs::path output = m_dir / "cut.mp3";
    MakePatternFile(output, 1000);
    const auto before = ReadAll(output);
    const auto outOfMemory = write(output, [](std::int64_t) -> bool { throw std::bad_alloc(); });
    const auto other
        = write(output, [](std::int64_t) -> bool { throw std::runtime_error("host failed"); });
    ASSERT_TRUE(outOfMemory && other);
    EXPECT_EQ(outOfMemory->message, SplitMessages::CannotWriteOutput);
    EXPECT_EQ(outOfMemory->errorNumber, ENOMEM);
    EXPECT_EQ(other->message, SplitMessages::CannotWriteOutput);
    EXPECT_EQ(ReadAll(output), before);
    EXPECT_EQ(filesInFolder(), 2u);
}

} // namespace

} // namespace parvex
