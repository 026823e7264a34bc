// SPDX-License-Identifier: GPL-3.0-or-later
// Measures media that is not MP3 through the GStreamer module, loaded on the first such file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace parvex {

// Media time (100-ns units), or nullopt when GStreamer cannot measure the file or the module
// cannot be loaded.
std::optional<std::int64_t> DiscoverWithModule(const std::string& path);

} // namespace parvex
