// The source as the window learns it on opening: its total time and byte size.
#include "sourceinfo.h"

#include "probeduration.h"
#include "splitmessages.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

namespace {

// The byte size of a file that opens for reading; a folder opens on Linux but is no source.
std::optional<std::int64_t> readableFileSize(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    struct stat info = {};
    const bool ok = fstat(fileno(file), &info) == 0 && !S_ISDIR(info.st_mode);
    std::fclose(file);
    if (!ok)
        return std::nullopt;
    return static_cast<std::int64_t>(info.st_size);
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
    const auto seconds = knownSeconds ? knownSeconds : ProbeDuration(path);
    if (!seconds) {
        *failure = kCannotMeasure;
        return std::nullopt;
    }
    const auto size = readableFileSize(path);
    if (!size) {
        *failure = SplitMessages::CannotOpenSource;
        return std::nullopt;
    }
    return SourceInfo { path, *size, *seconds };
}
