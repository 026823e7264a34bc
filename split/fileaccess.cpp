// SPDX-License-Identifier: GPL-3.0-or-later
// File access by descriptor: stat before open, and open flags that never wait on a peer.
#include "fileaccess.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {

namespace {

static_assert(sizeof(off_t) >= 8, "build with 64-bit file offsets");

// What errno says of a path that is there but is no regular file.
int notRegularFileError(mode_t mode)
{
    return S_ISDIR(mode) ? EISDIR : ENODEV;
}

// Keeps `fd` only if it is a regular file, as a stream in `mode`; closes it otherwise. With
// `emptied`, a file that holds bytes is truncated to none.
std::FILE* streamForRegularFile(int fd, const char* mode, bool emptied = false)
{
    if (fd < 0)
        return nullptr;
    struct stat info = {};
    int error = 0;
    if (fstat(fd, &info) != 0)
        error = LastErrorOr(EIO);
    else if (!S_ISREG(info.st_mode))
        error = notRegularFileError(info.st_mode);
    // Only a file that holds bytes is truncated: on ext4 a truncation to zero marks the file
    // for writeback at close, which would cost a fresh piece milliseconds for nothing.
    else if (emptied && info.st_size > 0 && ftruncate(fd, 0) != 0)
        error = LastErrorOr(EIO);
    // O_NONBLOCK only kept open() from waiting; reads and writes of a regular file ignore it,
    // but the streams should see an ordinary descriptor.
    if (error == 0 && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = LastErrorOr(EIO);
    std::FILE* stream = error == 0 ? fdopen(fd, mode) : nullptr;
    if (!stream) {
        error = error != 0 ? error : LastErrorOr(EIO);
        close(fd);
        errno = error;
        return nullptr;
    }
    // Unbuffered: blocks go straight between the caller's buffer and the file, and a short
    // write shows at once, not at closing.
    std::setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

} // namespace

PathKind KindOfPath(const std::string& path)
{
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0)
        return PathKind::Missing;
    return S_ISREG(info.st_mode) ? PathKind::RegularFile : PathKind::Special;
}

std::optional<std::int64_t> RegularFileSize(const std::string& path)
{
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return static_cast<std::int64_t>(info.st_size);
}

std::FILE* OpenSourceFile(const std::string& path)
{
    errno = 0;
    return streamForRegularFile(
        open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC), "rb");
}

std::FILE* CreateOutputFile(const std::string& path)
{
    struct stat info = {};
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        errno = notRegularFileError(info.st_mode);
        return nullptr;
    }
    errno = 0;
    // No O_TRUNC here: what is found is truncated only once fstat says it is a regular file,
    // should something else have taken the name since the look above.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    return streamForRegularFile(fd, "wb", true);
}

std::int64_t MeasureFileSize(std::FILE* stream)
{
    struct stat info = {};
    const int fd = fileno(stream);
    if (fd < 0 || fstat(fd, &info) != 0)
        return -1;
    if (!S_ISREG(info.st_mode)) {
        errno = ESPIPE;
        return -1;
    }
    return static_cast<std::int64_t>(info.st_size);
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

int LastErrorOr(int fallback)
{
    return errno != 0 ? errno : fallback;
}

int CloseOutput(std::FILE* stream)
{
    errno = 0;
    return std::fclose(stream) == 0 ? 0 : LastErrorOr(EIO);
}

} // namespace parvex
