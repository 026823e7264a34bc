// SPDX-License-Identifier: GPL-3.0-or-later
// Proportional offsets of the three split operations.
#include "byteoffsets.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace parvex {

namespace {

double asDouble(std::int64_t value)
{
    return static_cast<double>(value);
}

} // namespace

std::int64_t TruncateToOffset(double value)
{
    // 2^63 is exactly representable; anything at or above it does not fit.
    constexpr double bound = 9223372036854775808.0;
    if (std::isnan(value))
        return 0;
    if (value >= bound)
        return std::numeric_limits<std::int64_t>::max();
    if (value < -bound)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value); // truncates toward zero
}

std::int64_t RangeCutOffset(std::int64_t seconds, std::int64_t totalSeconds, std::int64_t size)
{
    if (totalSeconds <= 0)
        return 0;
    return TruncateToOffset(asDouble(seconds) / asDouble(totalSeconds) * asDouble(size));
}

std::int64_t EqualPartOffset(std::int64_t index, std::int64_t count, std::int64_t size)
{
    if (count <= 0)
        return 0;
    return TruncateToOffset(asDouble(index) / asDouble(count) * asDouble(size));
}

std::int64_t FixedLengthOffset(
    std::int64_t index, std::int64_t totalSeconds, std::int64_t size, std::int64_t secondsPerPart)
{
    if (totalSeconds <= 0)
        return 0;
    const double share = asDouble(index) / asDouble(totalSeconds);
    return TruncateToOffset(share * asDouble(size) * asDouble(secondsPerPart));
}

std::int64_t FixedLengthPartCount(std::int64_t totalSeconds, std::int64_t secondsPerPart)
{
    if (totalSeconds <= 0 || secondsPerPart <= 0)
        return 0;
    return totalSeconds / secondsPerPart + (totalSeconds % secondsPerPart != 0 ? 1 : 0);
}

ByteRange EqualPartRange(std::int64_t index, std::int64_t count, std::int64_t size)
{
    ByteRange range { EqualPartOffset(index, count, size),
        EqualPartOffset(index + 1, count, size) };
    if (index == count - 1)
        range.end = std::max(range.end, size);
    return range;
}

ByteRange FixedLengthRange(
    std::int64_t index, std::int64_t totalSeconds, std::int64_t size, std::int64_t secondsPerPart)
{
    ByteRange range { FixedLengthOffset(index, totalSeconds, size, secondsPerPart),
        FixedLengthOffset(index + 1, totalSeconds, size, secondsPerPart) };
    if (index == FixedLengthPartCount(totalSeconds, secondsPerPart) - 1)
        range.end = std::max(range.end, size);
    return range;
}

} // namespace parvex
