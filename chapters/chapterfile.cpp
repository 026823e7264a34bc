// SPDX-License-Identifier: GPL-3.0-or-later
// The files around the chapters: the source read with pread(2), the copy written through an
// OutputFile, and the source's stamp checked so that a file changed meanwhile gives no copy.
#include "chapters.h"
#include "chaptertag.h"
#include "fileaccess.h"
#include "leadingtag.h"
#include "outputfile.h"
#include "readat.h"
#include "sourcestamp.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <unistd.h>
#include <vector>

namespace parvex {

namespace {

using FileCloser = int (*)(std::FILE*);
using SourceFile = std::unique_ptr<std::FILE, FileCloser>;

std::string withReason(const std::string& text, int error)
{
    return text + ": " + std::strerror(error) + ".";
}

struct OpenedSource
{
    SourceFile file { nullptr, std::fclose };
    std::int64_t size = 0;
    std::string error;
};

OpenedSource openSource(const std::string& path)
{
    OpenedSource source;
    source.file.reset(OpenSourceFile(path));
    if (!source.file) {
        const int error = LastErrorOr(EIO);
        source.error = error == EISDIR || error == ENODEV
            ? "The mp3 file is not a regular file."
            : withReason("The mp3 file could not be opened", error);
        return source;
    }
    source.size = MeasureFileSize(source.file.get());
    if (source.size < 0)
        source.error = "The mp3 file is not a regular file.";
    return source;
}

// 0, or the errno of a write that failed.
int writeAll(int fd, const char* data, std::size_t bytes)
{
    while (bytes > 0) {
        const ssize_t n = ::write(fd, data, bytes);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return LastErrorOr(EIO);
        data += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return 0;
}

struct CopyFailure
{
    bool reading = false;
    int error = 0;
};

// The source's bytes [from, to) appended to `out`, a mebibyte at a time.
CopyFailure copyTail(int sourceFd, std::int64_t from, std::int64_t to, int out)
{
    std::vector<char> buffer(std::size_t { 1 } << 20);
    for (std::int64_t at = from; at < to;) {
        const auto bytes
            = static_cast<std::size_t>(std::min<std::int64_t>(to - at, std::ssize(buffer)));
        if (!ReadFullyAt(sourceFd, buffer.data(), bytes, at))
            return { true, LastErrorOr(EIO) };
        if (const int error = writeAll(out, buffer.data(), bytes))
            return { false, error };
        at += static_cast<std::int64_t>(bytes);
    }
    return {};
}

std::string writeCopy(const std::string& sourcePath, const std::string& outputPath,
    const std::vector<Chapter>& chapters, bool replace)
{
    const OpenedSource source = openSource(sourcePath);
    if (!source.error.empty())
        return source.error;
    const int sourceFd = ::fileno(source.file.get());
    const std::optional<SourceStamp> stamp = StampOfOpenFile(sourceFd);
    const LeadingTag sourceTag = ReadLeadingTag(sourceFd, source.size);
    if (!sourceTag.error.empty())
        return sourceTag.error;
    const ChapteredTag tag = RenderChapteredTag(sourceTag.bytes, chapters);
    if (!tag.error.empty())
        return tag.error;
    if (!replace && KindOfPath(outputPath) == PathKind::RegularFile)
        return "The output file already exists.";

    OutputFile output; // removes the temporary file on every way out but a commit
    if (const int error = output.open(outputPath))
        return error == EISDIR || error == ENODEV
            ? "The output is not a regular file."
            : withReason("The output file could not be opened", error);
    if (const int error = writeAll(output.fd(), tag.bytes.data(), tag.bytes.size()))
        return withReason("The output file could not be written", error);
    const auto tail = static_cast<std::int64_t>(sourceTag.bytes.size());
    const CopyFailure copied = copyTail(sourceFd, tail, source.size, output.fd());
    if (copied.error != 0)
        return withReason(copied.reading ? "The mp3 file could not be read"
                                         : "The output file could not be written",
            copied.error);
    if (!stamp || StampOfOpenFile(sourceFd) != stamp)
        return "The mp3 file changed while it was copied; nothing was written.";
    if (const int error = output.commit())
        return withReason("The output file could not be written", error);
    return {};
}

} // namespace

ChapterReadResult ReadChapters(const std::string& path)
{
    try {
        const OpenedSource source = openSource(path);
        if (!source.error.empty())
            return { {}, source.error };
        const LeadingTag tag = ReadLeadingTag(::fileno(source.file.get()), source.size);
        if (!tag.error.empty())
            return { {}, tag.error };
        return ChaptersOfTag(tag.bytes);
    } catch (const std::bad_alloc&) {
        return { {}, "The mp3 file's ID3v2 tag is too large to be read." };
    }
}

// Memory that runs out fails the copy like a disk that refuses a write; the OutputFile takes
// its temporary file along.
std::string WriteChapteredCopy(const std::string& sourcePath, const std::string& outputPath,
    const std::vector<Chapter>& chapters, bool replace)
{
    try {
        return writeCopy(sourcePath, outputPath, chapters, replace);
    } catch (const std::bad_alloc&) {
        return withReason("The output file could not be written", ENOMEM);
    }
}

} // namespace parvex
