// SPDX-License-Identifier: GPL-3.0-or-later
// The GstDiscoverer duration as a module loaded at run time, for programs that link no GStreamer.
#pragma once

#include <cstdint>

namespace parvex {

// File name of the module, found through the loading program's run path.
inline constexpr char kDiscovererModuleFile[] = "parvex-discoverer.so";
// Its one entry point: true with the media time (100-ns units) of a file GStreamer can measure.
inline constexpr char kDiscovererModuleSymbol[] = "parvex_discover_media_time";
using DiscovererModuleEntry = bool (*)(const char* path, std::int64_t* mediaTime);

} // namespace parvex
