// SPDX-License-Identifier: GPL-3.0-or-later
// Where a time or a part index lies in the source: a share of its byte size.
#pragma once

#include "byterange.h"

#include <cstdint>

namespace parvex {

// Every offset is formed in double precision, the share first and then the product, and then
// truncated toward zero. The order is kept on purpose: it decides the last byte of a piece, e.g.
// (23 / 40) * 3,000,000 is 1,724,999.9999999998 and lands on 1,724,999. Sizes are used exactly
// (no single-precision copy), so a size up to 2^53 keeps every byte.

// Truncates toward zero, clamped to the int64 range (a product beyond it cannot be an offset).
std::int64_t TruncateToOffset(double value);

// trunc((seconds / totalSeconds) * size); 0 when totalSeconds is not above 0.
std::int64_t RangeCutOffset(std::int64_t seconds, std::int64_t totalSeconds, std::int64_t size);

// trunc((index / count) * size); 0 when count is not above 0.
std::int64_t EqualPartOffset(std::int64_t index, std::int64_t count, std::int64_t size);

// trunc(((index / totalSeconds) * size) * secondsPerPart); 0 when totalSeconds is not above 0.
std::int64_t FixedLengthOffset(
    std::int64_t index, std::int64_t totalSeconds, std::int64_t size, std::int64_t secondsPerPart);

// ceil(totalSeconds / secondsPerPart); 0 when either is not above 0.
std::int64_t FixedLengthPartCount(std::int64_t totalSeconds, std::int64_t secondsPerPart);

// The range of equal part `index` of `count`. The last part ends no earlier than `size`, so the
// parts together always hold every byte.
ByteRange EqualPartRange(std::int64_t index, std::int64_t count, std::int64_t size);

// The range of fixed-length part `index` of FixedLengthPartCount(); the last one likewise ends
// no earlier than `size`.
ByteRange FixedLengthRange(
    std::int64_t index, std::int64_t totalSeconds, std::int64_t size, std::int64_t secondsPerPart);

} // namespace parvex
