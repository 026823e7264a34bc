// SPDX-License-Identifier: GPL-3.0-or-later
// The probe's MP3 half: an exact frame scan, with other media handed to whoever can measure them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace parvex {

// Measures a file that is not a bare MPEG audio stream: media time, or nullopt.
using OtherMediaTime = std::function<std::optional<std::int64_t>(const std::string& path)>;

// Media time (100-ns units) of `path`: by frame count for MP3, by `otherMedia` for anything
// else. Missing and empty files, folders and FIFOs fail at once, before `otherMedia` could wait
// on them. Never throws.
std::optional<std::int64_t> ProbeMediaTimeWith(
    const std::string& path, const OtherMediaTime& otherMedia);

// The exact length of a bare MPEG audio stream (tags allowed), by frame count; nullopt for
// anything else.
std::optional<std::int64_t> ExactMpegMediaTime(const std::string& path);

} // namespace parvex
