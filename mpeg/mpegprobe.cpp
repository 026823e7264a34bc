// SPDX-License-Identifier: GPL-3.0-or-later
// MP3 first by content (exact and repeatable), anything else by the caller's means.
#include "mpegprobe.h"

#include "filereader.h"
#include "mpegframescan.h"
#include "mpegframewalk.h"
#include "mpegstreamlocator.h"

namespace parvex {

namespace {

std::optional<std::int64_t> scanMpegAudio(FileReader& reader)
{
    const auto start = FindMpegAudioStart(reader);
    if (!start)
        return std::nullopt;
    // The headers alone where they suffice (as fast as reading the file once); libmpg123,
    // which parses every frame, for the rest.
    if (const auto length = WalkPlainMpegLength(reader, *start))
        return length;
    return ScanMpegAudioLength(reader, *start);
}

} // namespace

std::optional<std::int64_t> ExactMpegMediaTime(const std::string& path)
{
    FileReader reader;
    if (!reader.open(path))
        return std::nullopt;
    return scanMpegAudio(reader);
}

std::optional<std::int64_t> ProbeMediaTimeWith(
    const std::string& path, const OtherMediaTime& otherMedia)
{
    FileReader reader;
    if (!reader.open(path) || reader.fileSize() == 0)
        return std::nullopt;
    if (const auto length = scanMpegAudio(reader))
        return length;
    return otherMedia ? otherMedia(path) : std::nullopt;
}

} // namespace parvex
