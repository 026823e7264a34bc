// SPDX-License-Identifier: GPL-3.0-or-later
// The buffer keeps the bytes from the last step taken on, so a step is always whole in it when
// its CRC is taken; a step's CRC continues the one before it.
#include "scanreader.h"

#include "crc16.h"
#include "readat.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace parvex {

namespace {

// Big enough that a refill costs little next to the bytes it brings, small enough to stay in
// the cache while the walk and the CRC go over it.
constexpr std::size_t kBufferBytes = 256 * 1024;

} // namespace

bool ScanReader::open(int fd, std::int64_t origin)
{
    struct stat st
    { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    m_fd = fd;
    m_stamp = StampOf(st);
    m_capacity = static_cast<std::size_t>(
        std::clamp<std::int64_t>(st.st_size - origin, 2 * ByteCrcs::kStep, kBufferBytes));
    m_buffer = std::make_unique_for_overwrite<std::uint8_t[]>(m_capacity);
    m_start = origin;
    m_crcs.origin = origin;
    m_crcs.atSteps.assign(1, 0);
    m_crcEnd = origin;
    return true;
}

const std::uint8_t* ScanReader::view(std::int64_t position, std::size_t bytes)
{
    if (bytes > kMaxView)
        return nullptr;
    if (position < m_start)
        return viewBehind(position, bytes);
    while (position + static_cast<std::int64_t>(bytes)
        > m_start + static_cast<std::int64_t>(m_length)) {
        if (!refill(position))
            return nullptr;
    }
    // A refill keeps the bytes from the last CRC step on; after finish() that is the buffer's
    // end, so a view that straddled it now starts behind the buffer.
    if (position < m_start)
        return viewBehind(position, bytes);
    return m_buffer.get() + (position - m_start);
}

ByteCrcs ScanReader::finish()
{
    takeSteps(m_start + static_cast<std::int64_t>(m_length));
    return m_crcs;
}

// Takes the steps before `position` (or the buffer's end), keeps the bytes from the last step
// on and reads more after them.
bool ScanReader::refill(std::int64_t position)
{
    const std::int64_t end = m_start + static_cast<std::int64_t>(m_length);
    takeSteps(std::min(position, end));
    const auto kept = static_cast<std::size_t>(end - m_crcEnd);
    std::memmove(m_buffer.get(), m_buffer.get() + (m_crcEnd - m_start), kept);
    m_start = m_crcEnd;
    m_length = kept;
    // A short read is no end: the caller's view() asks again.
    const std::int64_t got = ReadSomeAt(m_fd, m_buffer.get() + kept, m_capacity - kept, end);
    if (got <= 0)
        return false;
    m_length += static_cast<std::size_t>(got);
    return true;
}

void ScanReader::takeSteps(std::int64_t upTo)
{
    std::uint16_t crc = m_crcs.atSteps.back();
    for (; m_crcEnd + ByteCrcs::kStep <= upTo; m_crcEnd += ByteCrcs::kStep) {
        crc = Crc16Arc(m_buffer.get() + (m_crcEnd - m_start), ByteCrcs::kStep, crc);
        m_crcs.atSteps.push_back(crc);
    }
}

const std::uint8_t* ScanReader::viewBehind(std::int64_t position, std::size_t bytes)
{
    return ReadFullyAt(m_fd, m_behind.data(), bytes, position) ? m_behind.data() : nullptr;
}

} // namespace parvex
