// SPDX-License-Identifier: GPL-3.0-or-later
// The source as the window learns it on opening: its total time and byte size.
#include "sourceinfo.h"

#include "discovererloader.h"
#include "fileaccess.h"
#include "mediatime.h"
#include "mpegprobe.h"
#include "splitmessages.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>

namespace parvex {

namespace {

std::optional<std::int64_t> probeSeconds(const std::string& path)
{
    const auto mediaTime = ProbeMediaTimeWith(path, DiscoverWithModule);
    if (!mediaTime)
        return std::nullopt;
    return WholeSeconds(*mediaTime);
}

} // namespace

std::string SourceInfo::titleLine() const
{
    const std::int64_t t = totalSeconds;
    char duration[64];
    std::snprintf(duration, sizeof duration, "  (%02" PRId64 ":%02" PRId64 ":%02" PRId64 ")",
        t / 3600, t % 3600 / 60, t % 60);
    return std::filesystem::path(path).filename().string() + duration;
}

std::optional<SourceInfo> SourceInfo::load(
    const std::string& path, std::optional<std::int64_t> knownSeconds, std::string_view* failure)
{
    const auto seconds = knownSeconds ? knownSeconds : probeSeconds(path);
    if (!seconds) {
        *failure = kCannotMeasure;
        return std::nullopt;
    }
    const auto size = RegularFileSize(path);
    if (!size) {
        *failure = SplitMessages::CannotOpenSource;
        return std::nullopt;
    }
    return SourceInfo { path, *size, *seconds };
}

} // namespace parvex
