// SPDX-License-Identifier: GPL-3.0-or-later
// CRC(bytes [a, b)) = CRC([origin, b)) + CRC([origin, a))·x^(8(b - a)) mod P: both prefixes
// continue the nearest step's CRC over the bytes after it.
#include "bytecrcs.h"

#include "crc16.h"
#include "readat.h"

#include <algorithm>
#include <array>
#include <cerrno>

namespace parvex {

namespace {

// Continues `crc` over bytes [from, to) of `fd`.
bool crcOfBytes(int fd, std::int64_t from, std::int64_t to, std::uint16_t& crc)
{
    std::array<std::uint8_t, 64 * 1024> buffer {};
    while (from < to) {
        const auto wanted = static_cast<std::size_t>(
            std::min<std::int64_t>(to - from, static_cast<std::int64_t>(buffer.size())));
        const std::int64_t got = ReadSomeAt(fd, buffer.data(), wanted, from);
        if (got <= 0) {
            if (got == 0)
                errno = EIO; // the file shrank
            return false;
        }
        crc = Crc16Arc(buffer.data(), static_cast<std::size_t>(got), crc);
        from += got;
    }
    return true;
}

// The CRC of bytes [origin, at), from the last step at or before `at`.
bool prefixCrc(const ByteCrcs& crcs, int fd, std::int64_t at, std::uint16_t& crc)
{
    const auto step = std::min<std::int64_t>(
        (at - crcs.origin) / ByteCrcs::kStep, static_cast<std::int64_t>(crcs.atSteps.size()) - 1);
    crc = crcs.atSteps[static_cast<std::size_t>(step)];
    return crcOfBytes(fd, crcs.origin + step * ByteCrcs::kStep, at, crc);
}

} // namespace

bool ByteRangeCrc(
    const ByteCrcs& crcs, int fd, std::int64_t from, std::int64_t to, std::uint16_t& crc)
{
    crc = 0;
    if (crcs.atSteps.empty() || from < crcs.origin)
        return crcOfBytes(fd, from, to, crc);
    std::uint16_t before = 0;
    if (!prefixCrc(crcs, fd, from, before) || !prefixCrc(crcs, fd, to, crc))
        return false;
    crc = static_cast<std::uint16_t>(crc ^ Crc16ArcCombine(before, 0, to - from));
    return true;
}

} // namespace parvex
