// SPDX-License-Identifier: GPL-3.0-or-later
// The probe as the window uses it: MP3 by frame scan, anything else through GstDiscoverer.
#include "probeduration.h"

#include "discovererduration.h"
#include "mediatime.h"
#include "mpegprobe.h"

namespace parvex {

std::optional<std::int64_t> ProbeMediaTime(const std::string& path)
{
    return ProbeMediaTimeWith(
        path, [](const std::string& other) { return DiscoverDuration(other); });
}

std::optional<std::int64_t> ProbeDuration(const std::string& path)
{
    const auto mediaTime = ProbeMediaTime(path);
    if (!mediaTime)
        return std::nullopt;
    return WholeSeconds(*mediaTime);
}

} // namespace parvex
