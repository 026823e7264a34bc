// The buffer keeps the bytes from the last step taken on, so a step is always whole in it when
// its CRC is taken; a step's CRC continues the one before it.
#include "scanreader.h"

#include "crc16.h"
#include "filereader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Big enough that a refill costs little next to the bytes it brings, small enough to stay in
// the cache while the walk and the CRC go over it.
constexpr std::size_t kBufferBytes = 256 * 1024;

bool readFully(int fd, std::uint8_t* buffer, std::size_t bytes, std::int64_t position)
{
    while (bytes > 0) {
        const ssize_t got = ::pread(fd, buffer, bytes, static_cast<off_t>(position));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        buffer += got;
        bytes -= static_cast<std::size_t>(got);
        position += got;
    }
    return true;
}

} // namespace

ScanReader::~ScanReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ScanReader::open(const std::string& path, std::int64_t origin)
{
    struct stat st
    { };
    const int fd = OpenRegularFile(path, st);
    if (fd < 0)
        return false;
    m_fd = fd;
    m_stamp = StampOf(st);
    m_buffer.resize(static_cast<std::size_t>(
        std::clamp<std::int64_t>(st.st_size - origin, 2 * ByteCrcs::kStep, kBufferBytes)));
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
    return m_buffer.data() + (position - m_start);
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
    std::memmove(m_buffer.data(), m_buffer.data() + (m_crcEnd - m_start), kept);
    m_start = m_crcEnd;
    m_length = kept;
    ssize_t got = -1;
    do {
        got = ::pread(
            m_fd, m_buffer.data() + kept, m_buffer.size() - kept, static_cast<off_t>(end));
    } while (got < 0 && errno == EINTR);
    if (got <= 0)
        return false;
    m_length += static_cast<std::size_t>(got);
    return true;
}

void ScanReader::takeSteps(std::int64_t upTo)
{
    std::uint16_t crc = m_crcs.atSteps.back();
    for (; m_crcEnd + ByteCrcs::kStep <= upTo; m_crcEnd += ByteCrcs::kStep) {
        crc = Crc16Arc(m_buffer.data() + (m_crcEnd - m_start), ByteCrcs::kStep, crc);
        m_crcs.atSteps.push_back(crc);
    }
}

const std::uint8_t* ScanReader::viewBehind(std::int64_t position, std::size_t bytes)
{
    return readFully(m_fd, m_behind.data(), bytes, position) ? m_behind.data() : nullptr;
}
