// SPDX-License-Identifier: GPL-3.0-or-later
// A pread()-backed buffer: the probe reads a whole file frame by frame, and mpg123 would
// otherwise issue two tiny read() calls per frame.
#include "filereader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {

namespace {

constexpr std::size_t kBufferBytes = 256 * 1024;
constexpr std::size_t kFirstFillBytes = 16 * 1024;
constexpr std::int64_t kPeekMax = 4096; // see peek()

} // namespace

FileReader::~FileReader()
{
    if (m_ownsFd)
        ::close(m_fd);
}

int OpenRegularFile(const std::string& path, struct stat& status)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool FileReader::open(const std::string& path)
{
    struct stat st
    { };
    const int fd = OpenRegularFile(path, st);
    if (fd < 0)
        return false;
    m_fd = fd;
    m_ownsFd = true;
    allocate(st.st_size);
    return true;
}

bool FileReader::use(int fd)
{
    struct stat st
    { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    m_fd = fd;
    allocate(st.st_size);
    return true;
}

void FileReader::allocate(std::int64_t fileSize)
{
    m_fileSize = fileSize;
    // No larger than the file: a short file (a fuzz input, a jingle) is not worth 256 KiB.
    m_capacity = static_cast<std::size_t>(
        std::clamp<std::int64_t>(fileSize, kPeekMax, static_cast<std::int64_t>(kBufferBytes)));
    m_buffer = std::make_unique_for_overwrite<unsigned char[]>(m_capacity);
    m_fillBytes = std::min(kFirstFillBytes, m_capacity);
}

void FileReader::setOrigin(std::int64_t byteOffset)
{
    m_origin = byteOffset;
    m_position = byteOffset;
}

bool FileReader::fill(std::int64_t absolute)
{
    ssize_t got = -1;
    do {
        got = ::pread(m_fd, m_buffer.get(), m_fillBytes, absolute);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return false;
    m_fillBytes = std::min(m_fillBytes * 2, m_capacity);
    m_bufferStart = absolute;
    m_bufferLength = static_cast<std::size_t>(got);
    return true;
}

std::int64_t FileReader::read(void* buffer, std::size_t bytes)
{
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < bytes) {
        const std::int64_t inBuffer = m_position - m_bufferStart;
        if (inBuffer < 0 || inBuffer >= static_cast<std::int64_t>(m_bufferLength)) {
            if (!fill(m_position))
                return done > 0 ? static_cast<std::int64_t>(done) : -1;
            if (m_bufferLength == 0)
                break;
            continue;
        }
        const auto offset = static_cast<std::size_t>(inBuffer);
        const std::size_t n = std::min(bytes - done, m_bufferLength - offset);
        std::memcpy(out + done, m_buffer.get() + offset, n);
        done += n;
        m_position += static_cast<std::int64_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t FileReader::seek(std::int64_t offset, int whence)
{
    std::int64_t base = 0;
    if (whence == SEEK_CUR)
        base = m_position - m_origin;
    else if (whence == SEEK_END)
        base = m_fileSize - m_origin;
    else if (whence != SEEK_SET)
        return -1;
    const std::int64_t target = base + offset;
    if (target < 0)
        return -1;
    m_position = m_origin + target;
    return target;
}

const unsigned char* FileReader::peek(std::int64_t position, std::size_t bytes)
{
    if (position < 0 || bytes > static_cast<std::size_t>(kPeekMax))
        return nullptr;
    const std::int64_t absolute = m_origin + position;
    const auto length = static_cast<std::int64_t>(bytes);
    const auto inBuffer = [&] {
        return absolute >= m_bufferStart
            && absolute + length <= m_bufferStart + static_cast<std::int64_t>(m_bufferLength);
    };
    if (!inBuffer() && (!fill(absolute) || !inBuffer()))
        return nullptr;
    return m_buffer.get() + (absolute - m_bufferStart);
}

bool FileReader::readAt(std::int64_t position, void* buffer, std::size_t bytes)
{
    return seek(position, SEEK_SET) >= 0 && read(buffer, bytes) == static_cast<std::int64_t>(bytes);
}

} // namespace parvex
