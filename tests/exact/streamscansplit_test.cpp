// SPDX-License-Identifier: GPL-3.0-or-later
// A long stream's index is walked in two halves at once; what comes out is what one walk gives,
// whatever the reads return and whatever the path names meanwhile.
#include "blockedinterruptions.h"
#include "bytecrcs.h"
#include "exactfixtures.h"
#include "mp3fixture.h"
#include "readat.h"
#include "streamscan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <new>
#include <thread>
#include <unistd.h>

namespace parvex {

namespace {

// What the reads of the walk meet: reads cut short (4093 bytes at most, and byte by byte in a
// window), and a throw in any thread but the test's.
struct ReadFaults
{
    std::int64_t byteByByteFrom = 0;
    std::int64_t byteByByteTo = 0;
    std::thread::id walker;
    bool throwElsewhere = false;
    std::atomic<int> readsElsewhere { 0 };
    std::atomic<bool> interruptibleElsewhere { false };

    // Reads from the calling thread are the walker's.
    void reset()
    {
        byteByByteFrom = byteByByteTo = 0;
        walker = std::this_thread::get_id();
        throwElsewhere = false;
        readsElsewhere = 0;
        interruptibleElsewhere = false;
    }
};
ReadFaults faults;

ssize_t faultyRead(int fd, void* buffer, std::size_t bytes, off_t offset)
{
    if (std::this_thread::get_id() != faults.walker) {
        ++faults.readsElsewhere;
        if (!BlockedInterruptions::isBlocked(SIGINT))
            faults.interruptibleElsewhere = true;
        if (faults.throwElsewhere)
            throw std::bad_alloc();
    }
    const bool byteByByte = offset >= faults.byteByByteFrom && offset < faults.byteByByteTo;
    return ::pread(fd, buffer, std::min<std::size_t>(bytes, byteByByte ? 1 : 4093), offset);
}

// The reads go through faultyRead while it lives.
class FaultyReads
{
public:
    FaultyReads() { SetReadAtForTesting(faultyRead); }
    ~FaultyReads() { SetReadAtForTesting(nullptr); }
    FaultyReads(const FaultyReads&) = delete;
    FaultyReads& operator=(const FaultyReads&) = delete;
};

void expectSameIndex(const IndexOutcome& a, const IndexOutcome& b)
{
    ASSERT_TRUE(a.index && b.index);
    ASSERT_EQ(a.index->frames.size(), b.index->frames.size());
    for (std::size_t i = 0; i < a.index->frames.size(); ++i)
        ASSERT_EQ(a.index->frames[i].offset, b.index->frames[i].offset) << i;
    EXPECT_EQ(a.index->byteCrcs.atSteps, b.index->byteCrcs.atSteps);
    EXPECT_EQ(a.index->audioEnd, b.index->audioEnd);
    EXPECT_EQ(a.index->stamp, b.index->stamp);
}

class SplitWalk : public testing::Test
{
protected:
    // 40 copies of a 10-second CBR 128 file: 6.4 MB, past the size where the walk splits.
    void SetUp() override
    {
        std::string error;
        const auto piece = m_dir / "piece.mp3";
        ASSERT_TRUE(MakeMp3(piece, { .seconds = 10.0 }, &error)) << error;
        const auto bytes = ReadAll(piece);
        for (int i = 0; i < 40; ++i)
            m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }

    // The index of `bytes` walked whole (in halves) and walked to a mark past its end (one walk).
    void expectOneWalksIndex(const std::vector<char>& bytes)
    {
        const auto path = m_dir / "long.mp3";
        WriteBytes(path, bytes);
        const IndexOutcome halves = IndexMp3Stream(path.string());
        const IndexOutcome one = IndexMp3Stream(path.string(), 100000);
        ASSERT_EQ(halves.index.has_value(), one.index.has_value());
        if (!one.index) {
            EXPECT_EQ(halves.refusal, one.refusal);
            return;
        }
        const StreamIndex& a = *halves.index;
        const StreamIndex& b = *one.index;
        ASSERT_EQ(a.frames.size(), b.frames.size());
        for (std::size_t i = 0; i < a.frames.size(); ++i) {
            ASSERT_EQ(a.frames[i].offset, b.frames[i].offset) << i;
            ASSERT_EQ(a.frames[i].header.word(), b.frames[i].header.word()) << i;
            ASSERT_EQ(a.frames[i].mainDataBegin, b.frames[i].mainDataBegin) << i;
        }
        EXPECT_EQ(a.skippedBytes, b.skippedBytes);
        EXPECT_EQ(a.audioEnd, b.audioEnd);
        EXPECT_EQ(a.gapless.totalSamples, b.gapless.totalSamples);
        EXPECT_EQ(a.byteCrcs.origin, b.byteCrcs.origin);
        EXPECT_EQ(a.byteCrcs.atSteps, b.byteCrcs.atSteps);
        EXPECT_GT(a.byteCrcs.atSteps.size(), std::size_t { 700 });
    }

    TempDir m_dir;
    std::vector<char> m_bytes;
};

TEST_F(SplitWalk, givesOneWalksFramesCrcsAndRefusals)
{
    expectOneWalksIndex(m_bytes);

    // Damage across the middle (both halves resync to the same frame) and in the second half.
    std::vector<char> damaged = m_bytes;
    const auto middle = damaged.begin() + std::ssize(damaged) / 2;
    std::fill(middle - 20000, middle + 20000, '\0');
    const auto threeQuarters = damaged.begin() + std::ssize(damaged) * 3 / 4;
    std::fill(threeQuarters, threeQuarters + 5000, '\0');
    expectOneWalksIndex(damaged);

    // A sample rate that changes in the second half is refused as by one walk.
    std::string error;
    const auto other = m_dir / "other.mp3";
    ASSERT_TRUE(MakeMp3(other, { .seconds = 2.0, .sampleRate = 48000 }, &error)) << error;
    std::vector<char> joined = m_bytes;
    const auto tail = ReadAll(other);
    joined.insert(joined.end(), tail.begin(), tail.end());
    expectOneWalksIndex(joined);
}

// FUSE and network file systems return short reads anywhere. Byte by byte before the middle,
// the first half's buffer ends short of where the second half's CRCs start.
TEST_F(SplitWalk, shortReadsGiveTheSameIndex)
{
    const auto path = m_dir / "long.mp3";
    WriteBytes(path, m_bytes);
    const IndexOutcome whole = IndexMp3Stream(path.string());
    const auto middle = std::ssize(m_bytes) / 2;
    faults.reset();
    faults.byteByByteFrom = middle - 2 * ByteCrcs::kStep;
    faults.byteByByteTo = middle + 1;
    const FaultyReads reads;
    expectSameIndex(IndexMp3Stream(path.string()), whole);
    EXPECT_GT(faults.readsElsewhere, 0) << "the walk was split";
    EXPECT_FALSE(faults.interruptibleElsewhere) << "the second half's thread blocks Ctrl-C";
}

// Memory that runs out in the second half's thread ends neither the process nor the walk.
TEST_F(SplitWalk, aThrowInTheSecondHalfsThreadLeavesTheFirstToWalkOnAlone)
{
    const auto path = m_dir / "long.mp3";
    WriteBytes(path, m_bytes);
    const IndexOutcome whole = IndexMp3Stream(path.string());
    faults.reset();
    faults.throwElsewhere = true;
    const FaultyReads reads;
    expectSameIndex(IndexMp3Stream(path.string()), whole);
    EXPECT_GT(faults.readsElsewhere, 0);
}

// The walk reads the descriptor it is given, in both halves: a file renamed over the path
// after the job opened its source changes nothing.
TEST_F(SplitWalk, readsOnlyTheDescriptorItIsGiven)
{
    const auto path = m_dir / "long.mp3";
    WriteBytes(path, m_bytes);
    const IndexOutcome whole = IndexMp3Stream(path.string());
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::vector<char> other(m_bytes.begin(), m_bytes.begin() + std::ssize(m_bytes) * 3 / 4);
    WriteBytes(m_dir / "other.mp3", other);
    std::filesystem::rename(m_dir / "other.mp3", path);
    expectSameIndex(IndexMp3Stream(fd), whole);
    ::close(fd);
}

} // namespace

} // namespace parvex
