// SPDX-License-Identifier: GPL-3.0-or-later
// GstDiscoverer prerolls the file in a private pipeline and reports its streams and length.
#include "discovererduration.h"

#include "mediatime.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

namespace parvex {

namespace {

bool hasAudio(GstDiscovererInfo* info)
{
    GList* streams = gst_discoverer_info_get_audio_streams(info);
    const bool any = streams != nullptr;
    gst_discoverer_stream_info_list_free(streams);
    return any;
}

} // namespace

std::optional<std::int64_t> DiscoverDuration(
    const std::string& path, std::chrono::milliseconds timeout)
{
    // Started here, not in main, so that a command line measuring only MP3 files never pays
    // for loading the plug-in registry; a no-op when the program already started GStreamer.
    if (!gst_is_initialized() && !gst_init_check(nullptr, nullptr, nullptr))
        return std::nullopt;
    g_autoptr(GError) error = nullptr;
    g_autofree gchar* uri = gst_filename_to_uri(path.c_str(), &error);
    if (!uri)
        return std::nullopt;
    const auto timeoutNs = static_cast<GstClockTime>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(timeout).count());
    g_autoptr(GstDiscoverer) discoverer = gst_discoverer_new(timeoutNs, &error);
    if (!discoverer)
        return std::nullopt;
    g_autoptr(GstDiscovererInfo) info = gst_discoverer_discover_uri(discoverer, uri, &error);
    if (!info || gst_discoverer_info_get_result(info) != GST_DISCOVERER_OK || !hasAudio(info))
        return std::nullopt;
    const GstClockTime duration = gst_discoverer_info_get_duration(info);
    if (!GST_CLOCK_TIME_IS_VALID(duration))
        return std::nullopt;
    return static_cast<std::int64_t>(duration / (GST_SECOND / kMediaTimePerSecond));
}

} // namespace parvex
