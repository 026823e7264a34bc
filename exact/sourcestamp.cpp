// SPDX-License-Identifier: GPL-3.0-or-later
#include "sourcestamp.h"

namespace parvex {

SourceStamp StampOf(const struct stat& status)
{
    return { static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
        static_cast<std::int64_t>(status.st_size),
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec };
}

std::optional<SourceStamp> StampOfOpenFile(int fd)
{
    struct stat status
    { };
    if (::fstat(fd, &status) != 0)
        return std::nullopt;
    return StampOf(status);
}

} // namespace parvex
