// SPDX-License-Identifier: GPL-3.0-or-later
// The module's entry point over DiscoverDuration, which starts GStreamer on first use.
#include "discoverermodule.h"

#include "discovererduration.h"

namespace parvex {

extern "C" __attribute__((visibility("default"))) bool parvex_discover_media_time(
    const char* path, std::int64_t* mediaTime)
{
    const auto duration = DiscoverDuration(path);
    if (!duration)
        return false;
    *mediaTime = *duration;
    return true;
}

} // namespace parvex
