// SPDX-License-Identifier: GPL-3.0-or-later
// The duration of any media GStreamer can read, through GstDiscoverer.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace parvex {

// Duration in 100-ns units of a file with at least one audio stream; nullopt when GStreamer
// is not initialised, the type is unknown, a plugin is missing, there is no audio, no
// duration is known, or discovery takes longer than `timeout`. Synchronous.
std::optional<std::int64_t> DiscoverDuration(
    const std::string& path, std::chrono::milliseconds timeout = std::chrono::seconds(5));

} // namespace parvex
