// SPDX-License-Identifier: GPL-3.0-or-later
// Reads CUE sheets: from bytes in memory or from a file, whatever their text encoding.
#include "cuereader.h"

#include "cueline.h"
#include "cuesheetbuilder.h"
#include "cuetext.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {

namespace {

CueReadResult refusal(std::string_view displayName, const std::string& message)
{
    return { std::nullopt, std::string(displayName) + ": " + message };
}

CueReadResult refusal(std::string_view displayName, int line, const std::string& message)
{
    return { std::nullopt, std::string(displayName) + ":" + std::to_string(line) + ": " + message };
}

std::string lastError(const std::string& path)
{
    return path + ": cannot read it: " + std::strerror(errno);
}

struct FdCloser
{
    void operator()(const int* fd) const { ::close(*fd); }
};

// The whole file into `bytes`, of at most kCueMaxSheetBytes; else the error. Opened without
// blocking, so that a FIFO or a device named by mistake is refused instead of waited on.
std::string readBytes(const std::string& path, std::string* bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return lastError(path);
    const std::unique_ptr<const int, FdCloser> closer(&fd);
    struct stat status = {};
    if (::fstat(fd, &status) != 0)
        return lastError(path);
    if (!S_ISREG(status.st_mode))
        return path + ": not a file";
    if (static_cast<std::size_t>(status.st_size) > kCueMaxSheetBytes)
        return path + ": larger than 1 MiB: not a CUE sheet";
    // One byte past the limit: a file that grew since fstat is still caught by ReadCueSheet.
    bytes->resize(kCueMaxSheetBytes + 1);
    std::size_t used = 0;
    for (;;) {
        const ssize_t count = ::read(fd, bytes->data() + used, bytes->size() - used);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return lastError(path);
        used += static_cast<std::size_t>(count);
        if (count == 0 || used == bytes->size())
            break;
    }
    bytes->resize(used);
    return {};
}

} // namespace

CueReadResult ReadCueSheet(
    std::string_view bytes, std::string_view displayName, std::string_view encoding)
{
    if (bytes.size() > kCueMaxSheetBytes)
        return refusal(displayName, "larger than 1 MiB: not a CUE sheet");
    std::string error;
    const auto decoded = DecodeCueText(bytes, encoding, &error);
    if (!decoded)
        return refusal(displayName, error);
    std::string_view text = *decoded;
    std::string_view line;
    CueSheetBuilder builder(displayName);
    for (int number = 1; NextCueLine(text, line); ++number) {
        if (line.size() > kCueMaxLineBytes)
            return refusal(displayName, number, "line longer than 4096 bytes");
        if (line.find('\0') != std::string_view::npos) {
            return refusal(displayName, number,
                "holds a NUL byte: not a text file, or UTF-16 without its byte-order mark");
        }
        if (!builder.addLine(line, number))
            return { std::nullopt, builder.error() };
    }
    if (!builder.finish())
        return { std::nullopt, builder.error() };
    return { builder.takeSheet(), {} };
}

CueReadResult ReadCueSheetFile(const std::string& path, std::string_view encoding)
{
    std::string bytes;
    std::string error = readBytes(path, &bytes);
    if (!error.empty())
        return { std::nullopt, std::move(error) };
    return ReadCueSheet(bytes, path, encoding);
}

} // namespace parvex
