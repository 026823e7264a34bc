// SPDX-License-Identifier: GPL-3.0-or-later
// A file in memory that parsers taking a path can open, rewritten for every fuzz input.
#include "memoryfile.h"

#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace parvex {

namespace {

[[noreturn]] void fail(const char* what)
{
    std::perror(what);
    std::abort();
}

} // namespace

MemoryFile::MemoryFile()
    : m_fd(::memfd_create("parvex-fuzz-input", MFD_CLOEXEC))
{
    if (m_fd < 0)
        fail("memfd_create");
    m_path = "/proc/self/fd/" + std::to_string(m_fd);
}

MemoryFile::~MemoryFile()
{
    ::close(m_fd);
}

void MemoryFile::assign(const std::uint8_t* data, std::size_t size)
{
    if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0)
        fail("ftruncate");
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(m_fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0)
            fail("pwrite");
        done += static_cast<std::size_t>(n);
    }
}

} // namespace parvex
