// SPDX-License-Identifier: GPL-3.0-or-later
// Frames are copied out of the sample so that no buffer of the decoder's pool stays held by
// the GUI: a held buffer could stall a decoder whose pool is small.
#include "appsinkframes.h"

#include "notifytarget.h"
#include "playerevents.h"

#include <gst/video/video.h>

#include <cstring>
#include <utility>

namespace parvex {

QImage ImageFromRgbxSample(GstSample* sample)
{
    GstVideoInfo info;
    GstCaps* caps = gst_sample_get_caps(sample); // not owned
    GstBuffer* buffer = gst_sample_get_buffer(sample); // not owned
    if (!caps || !buffer || !gst_video_info_from_caps(&info, caps))
        return {};
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ))
        return {};
    const int width = GST_VIDEO_FRAME_WIDTH(&frame);
    const int height = GST_VIDEO_FRAME_HEIGHT(&frame);
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    const auto* pixels = static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    QImage image(width, height, QImage::Format_RGBX8888);
    const auto rowBytes = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height && !image.isNull(); ++y)
        std::memcpy(image.scanLine(y), pixels + static_cast<std::ptrdiff_t>(y) * stride, rowBytes);
    gst_video_frame_unmap(&frame);
    return image;
}

AppSinkFrames::AppSinkFrames(NotifyTarget& notify)
    : m_notify(notify)
{ }

bool AppSinkFrames::create()
{
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (!sink)
        return false;
    m_sink.reset(GST_ELEMENT(gst_object_ref_sink(sink)));
    g_autoptr(GstCaps) caps = gst_caps_from_string("video/x-raw,format=RGBx");
    g_object_set(
        sink, "caps", caps, "max-buffers", 1u, "drop", TRUE, "enable-last-sample", FALSE, nullptr);
    GstAppSinkCallbacks callbacks {};
    callbacks.new_preroll = &AppSinkFrames::onNewPreroll;
    callbacks.new_sample = &AppSinkFrames::onNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
    return true;
}

GstFlowReturn AppSinkFrames::onNewPreroll(GstAppSink* sink, gpointer self)
{
    g_autoptr(GstSample) sample = gst_app_sink_pull_preroll(sink);
    if (sample)
        static_cast<AppSinkFrames*>(self)->store(sample);
    return GST_FLOW_OK;
}

GstFlowReturn AppSinkFrames::onNewSample(GstAppSink* sink, gpointer self)
{
    g_autoptr(GstSample) sample = gst_app_sink_pull_sample(sink);
    if (sample)
        static_cast<AppSinkFrames*>(self)->store(sample);
    return GST_FLOW_OK;
}

void AppSinkFrames::store(GstSample* sample)
{
    QImage image = ImageFromRgbxSample(sample);
    if (image.isNull())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_latest = std::move(image);
    }
    if (!m_pending.exchange(true))
        m_notify.post(PlayerEvents::VideoFrame);
}

QImage AppSinkFrames::take()
{
    m_pending.store(false);
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_latest, QImage());
}

} // namespace parvex
