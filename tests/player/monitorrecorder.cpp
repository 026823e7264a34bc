// SPDX-License-Identifier: GPL-3.0-or-later
// The recording runs on GStreamer's streaming thread; the test thread only reads atomics.
#include "monitorrecorder.h"

#include <cstdint>
#include <cstdlib>
#include <thread>

namespace parvex {

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

} // namespace

MonitorRecorder::MonitorRecorder(const std::string& server, const std::string& source)
    : m_description("pulsesrc server=\"" + server + "\" device=" + source
        + " buffer-time=50000 latency-time=5000 ! audio/x-raw,format=S16LE,rate="
        + std::to_string(kRate) + ",channels=" + std::to_string(kChannels)
        + " ! appsink name=out sync=false")
{ }

MonitorRecorder::~MonitorRecorder()
{
    if (m_pipeline)
        gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
}

bool MonitorRecorder::start(std::string* problem)
{
    g_autoptr(GError) error = nullptr;
    GstElement* pipeline = gst_parse_launch(m_description.c_str(), &error);
    if (!pipeline) {
        *problem = "cannot record the monitor: " + std::string(error ? error->message : "");
        return false;
    }
    m_pipeline.reset(GST_ELEMENT(gst_object_ref_sink(pipeline)));
    g_autoptr(GstElement) out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    GstAppSinkCallbacks callbacks {};
    callbacks.new_sample = &MonitorRecorder::onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(out), &callbacks, this, nullptr);
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        *problem = "the monitor recording does not start";
        return false;
    }
    const auto deadline = Clock::now() + kStartTimeout;
    while (!m_receiving && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!m_receiving)
        *problem = "nothing arrived from the monitor";
    return m_receiving;
}

std::optional<MonitorRecorder::Clock::time_point> MonitorRecorder::firstSound() const
{
    const Clock::rep ticks = m_firstSound;
    if (ticks == 0)
        return std::nullopt;
    return Clock::time_point(Clock::duration(ticks));
}

void MonitorRecorder::forget()
{
    m_firstSound = 0;
}

GstFlowReturn MonitorRecorder::onSample(GstAppSink* sink, gpointer self)
{
    g_autoptr(GstSample) sample = gst_app_sink_pull_sample(sink);
    if (sample)
        static_cast<MonitorRecorder*>(self)->listen(sample);
    return GST_FLOW_OK;
}

void MonitorRecorder::listen(GstSample* sample)
{
    const Clock::time_point arrived = Clock::now();
    m_receiving = true;
    GstBuffer* buffer = gst_sample_get_buffer(sample); // not owned
    GstMapInfo map;
    if (m_firstSound != 0 || !buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ))
        return;
    const auto* samples = reinterpret_cast<const std::int16_t*>(map.data);
    const std::size_t count = map.size / sizeof(std::int16_t);
    for (std::size_t i = 0; i < count; ++i) {
        if (std::abs(samples[i]) <= kSoundLevel)
            continue;
        const auto after
            = std::chrono::duration<double>(static_cast<double>(count - i) / (kRate * kChannels));
        const auto played = arrived - std::chrono::duration_cast<Clock::duration>(after);
        Clock::rep expected = 0;
        m_firstSound.compare_exchange_strong(expected, played.time_since_epoch().count());
        break;
    }
    gst_buffer_unmap(buffer, &map);
}

} // namespace parvex
