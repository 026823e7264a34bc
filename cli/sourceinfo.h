// SPDX-License-Identifier: GPL-3.0-or-later
// The source as the window learns it on opening: its total time and byte size.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parvex {

struct SourceInfo
{
    std::string path;
    std::int64_t sizeBytes = 0;
    std::int64_t totalSeconds = 0; // T, whole seconds

    // "song.mp3  (00:01:05)": the file name without its folder, two blanks, T as H:M:S with at
    // least two digits each (more for 100 hours and up).
    std::string titleLine() const;

    // Measures `path` in the window's order: the total time (the probe, or `knownSeconds` when
    // given), then the size of the file opened for reading. On failure, `failure` holds the
    // text the window shows.
    static std::optional<SourceInfo> load(const std::string& path,
        std::optional<std::int64_t> knownSeconds, std::string_view* failure);

    static constexpr std::string_view kCannotMeasure = "Can not open the mp3 total time!";
};

} // namespace parvex
