// MP3 first by content (exact and repeatable), anything else through GStreamer.
#include "probeduration.h"

#include "discovererduration.h"
#include "filereader.h"
#include "mediatime.h"
#include "mpegframescan.h"
#include "mpegstreamlocator.h"

namespace {

std::optional<std::int64_t> scanMpegAudio(FileReader& reader)
{
    const auto start = FindMpegAudioStart(reader);
    if (!start)
        return std::nullopt;
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

std::optional<std::int64_t> ProbeMediaTime(const std::string& path)
{
    // Missing, empty, folders and FIFOs fail here at once, before GStreamer could wait on them.
    FileReader reader;
    if (!reader.open(path) || reader.fileSize() == 0)
        return std::nullopt;
    if (const auto length = scanMpegAudio(reader))
        return length;
    return DiscoverDuration(path);
}

std::optional<std::int64_t> ProbeDuration(const std::string& path)
{
    const auto mediaTime = ProbeMediaTime(path);
    if (!mediaTime)
        return std::nullopt;
    return WholeSeconds(*mediaTime);
}
