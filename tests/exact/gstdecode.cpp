// SPDX-License-Identifier: GPL-3.0-or-later
#include "gstdecode.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>

namespace parvex {

namespace {

std::once_flag initialised;
std::atomic<int> criticals { 0 }; // logged from the pipelines' streaming threads

void countCriticals(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer data)
{
    if ((level & G_LOG_LEVEL_CRITICAL) != 0)
        ++criticals;
    g_log_default_handler(domain, level, message, data);
}

// gst_deinit at the end lets LeakSanitizer tell GStreamer's one-time allocations from leaks.
class GstEnvironment : public testing::Environment
{
public:
    void TearDown() override
    {
        if (gst_is_initialized())
            gst_deinit();
    }
};

[[maybe_unused]] testing::Environment* const registered
    = testing::AddGlobalTestEnvironment(new GstEnvironment);

struct Unref
{
    void operator()(GstElement* element) const { gst_object_unref(element); }
};
using Element = std::unique_ptr<GstElement, Unref>;

// Appends the samples of one appsink sample; false if it cannot be mapped.
bool appendSample(GstSample* sample, std::vector<std::int16_t>& samples)
{
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ))
        return false;
    const std::size_t count = map.size / sizeof(std::int16_t);
    const std::size_t at = samples.size();
    samples.resize(at + count);
    std::memcpy(samples.data() + at, map.data, count * sizeof(std::int16_t));
    gst_buffer_unmap(buffer, &map);
    return true;
}

bool endedWithoutError(GstElement* pipeline)
{
    std::unique_ptr<GstBus, decltype(&gst_object_unref)> bus(
        gst_element_get_bus(pipeline), gst_object_unref);
    GstMessage* message = gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR);
    if (!message)
        return true;
    gst_message_unref(message);
    return false;
}

} // namespace

std::vector<std::int16_t> DecodeWithGStreamer(const std::filesystem::path& path)
{
    std::call_once(initialised, [] {
        g_log_set_default_handler(countCriticals, nullptr);
        gst_init(nullptr, nullptr);
    });
    Element pipeline(gst_parse_launch("filesrc name=source ! id3demux ! mpegaudioparse"
                                      " ! mpg123audiodec ! audio/x-raw,format=S16LE"
                                      " ! appsink name=sink sync=false",
        nullptr));
    if (!pipeline)
        return {};
    Element source(gst_bin_get_by_name(GST_BIN(pipeline.get()), "source"));
    Element sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    std::vector<std::int16_t> samples;
    bool ok = gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    while (ok) {
        GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(sink.get()));
        if (!sample)
            break; // end of stream, or an error the bus holds
        ok = appendSample(sample, samples);
        gst_sample_unref(sample);
    }
    ok = ok && endedWithoutError(pipeline.get());
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return ok ? samples : std::vector<std::int16_t> {};
}

int GStreamerCriticals()
{
    return criticals;
}

} // namespace parvex
