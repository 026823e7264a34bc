// SPDX-License-Identifier: GPL-3.0-or-later
// What tells that a source file is still the one an index was made from.
#pragma once

#include <cstdint>
#include <optional>
#include <sys/stat.h>

namespace parvex {

// The file's identity, size and last change. An exact piece's frame offsets and music CRC come
// from the index; a source replaced or written to since would give a piece that only seems
// right, so the piece is refused instead.
struct SourceStamp
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0; // bytes
    std::int64_t changedNs = 0; // st_mtim, nanoseconds since the epoch

    bool operator==(const SourceStamp&) const = default;
};

SourceStamp StampOf(const struct stat& status);
// The stamp of the file open as `fd`; nullopt when fstat fails.
std::optional<SourceStamp> StampOfOpenFile(int fd);

} // namespace parvex
