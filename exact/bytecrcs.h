// SPDX-License-Identifier: GPL-3.0-or-later
// CRC-16/ARCs of a file's bytes kept at regular steps, so the CRC of any byte range comes from
// two of them and a few kilobytes read again, however long the range.
#pragma once

#include <cstdint>
#include <vector>

namespace parvex {

struct ByteCrcs
{
    static constexpr std::int64_t kStep = 8192; // bytes

    std::int64_t origin = 0; // file offset where the CRCs start
    std::vector<std::uint16_t> atSteps; // [i]: the CRC of bytes [origin, origin + i x kStep)
};

// The CRC-16/ARC of bytes [from, to) of the open file `fd`, whose bytes `crcs` was taken of.
// Reads the bytes from the last step before each end to that end (the whole range when no step
// lies at or before `from`). False with errno set if a read fails or finds the file shorter.
bool ByteRangeCrc(
    const ByteCrcs& crcs, int fd, std::int64_t from, std::int64_t to, std::uint16_t& crc);

} // namespace parvex
