// SPDX-License-Identifier: GPL-3.0-or-later
// Seconds and part indexes to byte offsets: precision, truncation, order of operations, coverage.
#include "byteoffsets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace parvex {

TEST(ByteOffsets, rangeCutTruncatesTheDoubleProduct)
{
    EXPECT_EQ(RangeCutOffset(10, 100, 1'000'000), 100'000);
    EXPECT_EQ(RangeCutOffset(20, 100, 1'000'000), 200'000);
    // (23 / 40) * 3,000,000 is 1,724,999.9999999998: truncated, not rounded.
    EXPECT_EQ(RangeCutOffset(23, 40, 3'000'000), 1'724'999);
    EXPECT_EQ(RangeCutOffset(5, 0, 1'000), 0);
}

TEST(ByteOffsets, equalPartsOfAThousandBytes)
{
    EXPECT_EQ(EqualPartRange(0, 3, 1000), (ByteRange { 0, 333 }));
    EXPECT_EQ(EqualPartRange(1, 3, 1000), (ByteRange { 333, 666 }));
    EXPECT_EQ(EqualPartRange(2, 3, 1000), (ByteRange { 666, 1000 }));
}

TEST(ByteOffsets, aWholeBoundaryCanComeOutOneLess)
{
    // (15 / 22) * 22 is 14.999999999999998, so part 14 is empty and part 15 twice as long.
    for (std::int64_t i = 0; i <= 22; ++i)
        EXPECT_EQ(EqualPartOffset(i, 22, 22), i == 15 ? 14 : i) << "i = " << i;
    EXPECT_EQ(EqualPartRange(14, 22, 22), (ByteRange { 14, 14 }));
    EXPECT_EQ(EqualPartRange(15, 22, 22), (ByteRange { 14, 16 }));
}

TEST(ByteOffsets, fixedLengthRanges)
{
    EXPECT_EQ(FixedLengthPartCount(100, 30), 4);
    EXPECT_EQ(FixedLengthRange(0, 100, 1'000'000, 30), (ByteRange { 0, 300'000 }));
    EXPECT_EQ(FixedLengthRange(2, 100, 1'000'000, 30), (ByteRange { 600'000, 900'000 }));
    EXPECT_EQ(FixedLengthRange(3, 100, 1'000'000, 30), (ByteRange { 900'000, 1'200'000 }));

    EXPECT_EQ(FixedLengthPartCount(60, 30), 2);
    EXPECT_EQ(FixedLengthOffset(1, 60, 1'000'010, 30), 500'004);
    EXPECT_EQ(FixedLengthOffset(2, 60, 1'000'010, 30), 1'000'009);
    // The last piece is stretched to the end of the file.
    EXPECT_EQ(FixedLengthRange(1, 60, 1'000'010, 30), (ByteRange { 500'004, 1'000'010 }));
}

TEST(ByteOffsets, partCountIsTheCeilingAndNeverDividesByZero)
{
    EXPECT_EQ(FixedLengthPartCount(90, 30), 3);
    EXPECT_EQ(FixedLengthPartCount(91, 30), 4);
    EXPECT_EQ(FixedLengthPartCount(30, 100), 1);
    EXPECT_EQ(FixedLengthPartCount(100, 0), 0);
    EXPECT_EQ(FixedLengthPartCount(100, -30), 0);
    EXPECT_EQ(FixedLengthPartCount(0, 30), 0);
    EXPECT_EQ(FixedLengthOffset(1, 0, 1000, 30), 0);
    EXPECT_EQ(EqualPartOffset(1, 0, 1000), 0);
}

TEST(ByteOffsets, sizesAreExactBeyondSinglePrecisionAnd32Bits)
{
    EXPECT_EQ(EqualPartRange(0, 1, 16'777'217), (ByteRange { 0, 16'777'217 }));
    EXPECT_EQ(EqualPartRange(0, 1, 16'777'219), (ByteRange { 0, 16'777'219 }));
    constexpr std::int64_t fiveGiB = std::int64_t { 5 } << 30;
    EXPECT_EQ(EqualPartOffset(1, 2, fiveGiB), fiveGiB / 2);
    EXPECT_EQ(EqualPartRange(3, 4, fiveGiB + 3), (ByteRange { 4'026'531'842, fiveGiB + 3 }));
    EXPECT_EQ(RangeCutOffset(3'000'000, 5'242'880, fiveGiB), 3'072'000'000);
    EXPECT_EQ(FixedLengthOffset(3, 3072, 3 * (std::int64_t { 1 } << 30), 1020), 3'208'642'560);
    // 513 × 2^22 bytes in pieces of 512 of 513 s: the second piece starts at exactly 2^31.
    constexpr std::int64_t twoGiB = std::int64_t { 1 } << 31;
    EXPECT_EQ(FixedLengthRange(1, 513, twoGiB + (1 << 22), 512).start, twoGiB);
}

TEST(ByteOffsets, truncationIsTowardZeroAndClamped)
{
    EXPECT_EQ(TruncateToOffset(2.9), 2);
    EXPECT_EQ(TruncateToOffset(-2.9), -2);
    EXPECT_EQ(TruncateToOffset(1e30), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(TruncateToOffset(-1e30), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(TruncateToOffset(std::nan("")), 0);
    // K far above T: the only part's nominal end is beyond any offset, but stays defined.
    EXPECT_EQ(FixedLengthRange(0, 1, std::int64_t { 1 } << 40, 2'147'483'647).end,
        std::numeric_limits<std::int64_t>::max());
}

// Whatever the rounding does to the boundaries, the pieces follow each other without gaps and
// the last one reaches the end of the file.
TEST(ByteOffsets, piecesCoverTheWholeSource)
{
    for (const std::int64_t size :
        std::initializer_list<std::int64_t> { 1, 22, 1000, 1'000'010, 16'777'217, 3'000'000'001 }) {
        for (std::int64_t count = 1; count <= 64; ++count) {
            std::int64_t expectedStart = 0;
            for (std::int64_t i = 0; i < count; ++i) {
                const ByteRange r = EqualPartRange(i, count, size);
                ASSERT_EQ(r.start, expectedStart) << size << " in " << count << ", part " << i;
                expectedStart = r.end;
            }
            ASSERT_GE(expectedStart, size) << size << " in " << count;
        }
        for (std::int64_t total = 1; total <= 120; ++total) {
            for (std::int64_t k = 1; k <= total + 2; ++k) {
                const std::int64_t count = FixedLengthPartCount(total, k);
                std::int64_t expectedStart = 0;
                for (std::int64_t i = 0; i < count; ++i) {
                    const ByteRange r = FixedLengthRange(i, total, size, k);
                    ASSERT_EQ(r.start, expectedStart) << "T " << total << " K " << k;
                    expectedStart = r.end;
                }
                ASSERT_GE(expectedStart, size) << "S " << size << " T " << total << " K " << k;
            }
        }
    }
}

} // namespace parvex
