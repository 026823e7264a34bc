// SPDX-License-Identifier: GPL-3.0-or-later
// pread(2) loops, and the one place a test may stand in for the system call.
#include "readat.h"

#include <atomic>
#include <cerrno>
#include <unistd.h>

namespace parvex {

namespace {

static_assert(sizeof(off_t) >= 8, "build with 64-bit file offsets");

// Read on every call from any thread (the index walks two halves at once).
std::atomic<ReadAtFunction> readAt { nullptr };

} // namespace

std::int64_t ReadSomeAt(int fd, void* buffer, std::size_t bytes, std::int64_t offset)
{
    const ReadAtFunction read = readAt.load(std::memory_order_relaxed);
    ssize_t got = -1;
    do {
        got = read ? read(fd, buffer, bytes, static_cast<off_t>(offset))
                   : ::pread(fd, buffer, bytes, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    return got;
}

bool ReadFullyAt(int fd, void* buffer, std::size_t bytes, std::int64_t offset)
{
    auto* at = static_cast<unsigned char*>(buffer);
    while (bytes > 0) {
        const std::int64_t got = ReadSomeAt(fd, at, bytes, offset);
        if (got <= 0) {
            if (got == 0)
                errno = EIO;
            return false;
        }
        at += got;
        offset += got;
        bytes -= static_cast<std::size_t>(got);
    }
    return true;
}

void SetReadAtForTesting(ReadAtFunction read)
{
    readAt.store(read, std::memory_order_relaxed);
}

} // namespace parvex
