// SPDX-License-Identifier: GPL-3.0-or-later
// Measures a media file's duration: an exact frame scan for MP3, GStreamer for anything else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace parvex {

// Whole seconds (truncated), or nullopt when the file cannot be measured (missing, empty,
// a folder, not audio). Never throws, never blocks indefinitely. Starts GStreamer on the first
// file that is not MP3 if the program has not. `path` is in the local 8-bit encoding (UTF-8 here).
std::optional<std::int64_t> ProbeDuration(const std::string& path);

// The same measurement in 100-ns units (media time), before truncation to whole seconds.
std::optional<std::int64_t> ProbeMediaTime(const std::string& path);

} // namespace parvex
