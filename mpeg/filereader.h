// SPDX-License-Identifier: GPL-3.0-or-later
// Buffered, seekable read-only access to a regular file, for the duration probe's parsers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace parvex {

// Opens `path` for reading if it is a regular file, without ever blocking on a FIFO or device:
// the descriptor (the caller closes it) with `status` filled in, or -1.
int OpenRegularFile(const std::string& path, struct stat& status);

// Reads through one large buffer filled with pread(), so that a frame-by-frame parser costs
// a few system calls per megabyte instead of two per frame. Positions are relative to an
// origin (0 unless setOrigin() moved it): a parser then sees the file as starting there.
// Not thread-safe; a descriptor open() made is closed by the destructor.
class FileReader
{
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Opens a regular file (never blocks on a FIFO or device); false for anything else.
    bool open(const std::string& path);
    // Reads the regular file open as `fd`, which stays the caller's; false for anything else.
    bool use(int fd);
    bool isOpen() const { return m_fd >= 0; }
    // Size in bytes measured at open, independent of the origin.
    std::int64_t fileSize() const { return m_fileSize; }

    void setOrigin(std::int64_t byteOffset);
    // Like read(2): bytes copied, 0 at the end, -1 on an I/O error.
    std::int64_t read(void* buffer, std::size_t bytes);
    // Like lseek(2) on the view from the origin: the new position, or -1 if it would be negative.
    std::int64_t seek(std::int64_t offset, int whence);
    // Reads exactly `bytes` at a position of the view; false at the end or on an error.
    bool readAt(std::int64_t position, void* buffer, std::size_t bytes);
    // `bytes` (at most 4096) at a position of the view, in place in the buffer and valid until
    // the next call; null at the end or on an error. A walk that only looks copies nothing.
    const unsigned char* peek(std::int64_t position, std::size_t bytes);

private:
    bool fill(std::int64_t absolute);
    void allocate(std::int64_t fileSize);

    int m_fd = -1;
    bool m_ownsFd = false;
    std::int64_t m_fileSize = 0;
    std::int64_t m_origin = 0;
    std::int64_t m_position = 0; // absolute
    // Left uninitialised, and filled a little at first and then in growing reads: fresh pages
    // cost a page fault each on first touch, and a probe that reads the head and the tail of a
    // file should not touch them all.
    std::unique_ptr<unsigned char[]> m_buffer;
    std::size_t m_capacity = 0; // bytes at m_buffer
    std::size_t m_fillBytes = 0; // what the next fill asks for: doubles up to m_capacity
    std::int64_t m_bufferStart = 0; // absolute offset of m_buffer[0]
    std::size_t m_bufferLength = 0; // valid bytes in m_buffer
};

} // namespace parvex
