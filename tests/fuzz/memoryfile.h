// SPDX-License-Identifier: GPL-3.0-or-later
// A file in memory that parsers taking a path can open, rewritten for every fuzz input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace parvex {

// One memfd for the life of the process: rewriting it costs two system calls, where a temporary
// file on disk would cost a create, a write-back and an unlink per input. path() names it for
// open(2) through /proc/self/fd, so each open gets a descriptor of its own at offset 0.
class MemoryFile
{
public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the whole content; aborts if the kernel refuses, which no input can cause.
    void assign(const std::uint8_t* data, std::size_t size);
    const std::string& path() const { return m_path; }

private:
    int m_fd = -1;
    std::string m_path;
};

} // namespace parvex
