// SPDX-License-Identifier: GPL-3.0-or-later
// Test helpers: fopencookie streams, sparse files.
#include "splittesthelpers.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <unistd.h>

namespace parvex {

namespace {

struct FailingReader
{
    std::int64_t size = 0;
    std::int64_t failAfter = 0;
    int errorNumber = 0;
    std::int64_t position = 0;
};

ssize_t readFailing(void* cookie, char* buffer, size_t size)
{
    auto* reader = static_cast<FailingReader*>(cookie);
    if (reader->position >= reader->failAfter) {
        errno = reader->errorNumber;
        return -1;
    }
    const std::int64_t available = std::min(reader->size, reader->failAfter) - reader->position;
    const auto n = std::min<std::int64_t>(available, static_cast<std::int64_t>(size));
    for (std::int64_t i = 0; i < n; ++i)
        buffer[i] = static_cast<char>((reader->position + i) & 0x7f);
    reader->position += n;
    return static_cast<ssize_t>(n);
}

int seekFailing(void* cookie, off64_t* offset, int whence)
{
    auto* reader = static_cast<FailingReader*>(cookie);
    const std::int64_t base
        = whence == SEEK_SET ? 0 : (whence == SEEK_CUR ? reader->position : reader->size);
    reader->position = base + *offset;
    *offset = reader->position;
    return 0;
}

int closeReader(void* cookie)
{
    delete static_cast<FailingReader*>(cookie);
    return 0;
}

struct FailingWriter
{
    std::int64_t capacity = 0;
    int errorNumber = 0;
    std::int64_t taken = 0;
};

ssize_t writeFailing(void* cookie, const char*, size_t size)
{
    auto* writer = static_cast<FailingWriter*>(cookie);
    const std::int64_t room = writer->capacity - writer->taken;
    if (room <= 0) {
        errno = writer->errorNumber;
        return -1;
    }
    // glibc flags any short count from a cookie as an error at once, without asking again:
    // the cause has to be in errno already.
    const auto n = std::min<std::int64_t>(room, static_cast<std::int64_t>(size));
    if (n < static_cast<std::int64_t>(size))
        errno = writer->errorNumber;
    writer->taken += n;
    return static_cast<ssize_t>(n);
}

int closeWriter(void* cookie)
{
    delete static_cast<FailingWriter*>(cookie);
    return 0;
}

} // namespace

std::vector<char> Slice(const std::vector<char>& bytes, std::int64_t start, std::int64_t length)
{
    const auto size = static_cast<std::int64_t>(bytes.size());
    const std::int64_t from = std::clamp<std::int64_t>(start, 0, size);
    const std::int64_t to = std::clamp<std::int64_t>(start + length, from, size);
    return { bytes.begin() + from, bytes.begin() + to };
}

std::FILE* OpenFailingReader(std::int64_t size, std::int64_t failAfter, int errorNumber)
{
    cookie_io_functions_t io {};
    io.read = readFailing;
    io.seek = seekFailing;
    io.close = closeReader;
    std::FILE* stream = fopencookie(new FailingReader { size, failAfter, errorNumber, 0 }, "r", io);
    std::setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

std::FILE* OpenFailingWriter(std::int64_t capacity, int errorNumber, bool buffered)
{
    cookie_io_functions_t io {};
    io.write = writeFailing;
    io.close = closeWriter;
    std::FILE* stream = fopencookie(new FailingWriter { capacity, errorNumber, 0 }, "w", io);
    if (!buffered)
        std::setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

void MakeSparseFile(const std::filesystem::path& path, std::int64_t size, std::int64_t markerOffset,
    const std::string& marker)
{
    std::ofstream(path, std::ios::binary).close();
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(markerOffset);
    file.write(marker.data(), static_cast<std::streamsize>(marker.size()));
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string joined;
    for (const auto& line : lines)
        joined += line + '\n';
    return joined;
}

} // namespace parvex
