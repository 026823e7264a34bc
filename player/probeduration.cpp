// MP3 first by content (exact and repeatable), anything else through GStreamer.
#include "probeduration.h"

#include "discovererduration.h"
#include "filereader.h"
#include "mediatime.h"
#include "mpegframescan.h"
#include "mpegstreamlocator.h"

std::optional<std::int64_t> ProbeMediaTime(const std::string& path)
{
    FileReader reader;
    if (!reader.open(path) || reader.fileSize() == 0)
        return std::nullopt;
    if (const auto start = FindMpegAudioStart(reader)) {
        if (const auto length = ScanMpegAudioLength(reader, *start))
            return length;
    }
    return DiscoverDuration(path);
}

std::optional<std::int64_t> ProbeDuration(const std::string& path)
{
    const auto mediaTime = ProbeMediaTime(path);
    if (!mediaTime)
        return std::nullopt;
    return WholeSeconds(*mediaTime);
}
