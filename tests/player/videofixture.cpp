// SPDX-License-Identifier: GPL-3.0-or-later
// Runs videotestsrc ! jpegenc ! avimux (plus audiotestsrc) to the end of stream, with a deadline.
#include "videofixture.h"

#include <gst/gst.h>

namespace parvex {

std::string MissingElement(std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        g_autoptr(GstElementFactory) factory = gst_element_factory_find(name);
        if (!factory)
            return std::string("missing GStreamer element ") + name;
    }
    return {};
}

std::string MakeTestVideo(const std::filesystem::path& path, const VideoOptions& options)
{
    const std::string missing = MissingElement({ "videotestsrc", "jpegenc", "avimux", "filesink",
        "audiotestsrc", "audioconvert", "avidemux", "jpegdec" });
    if (!missing.empty())
        return missing;
    const int audioBuffers = options.frames * 44100 / 30 / 1024 + 1;
    std::string description = "videotestsrc num-buffers=" + std::to_string(options.frames)
        + " ! video/x-raw,width=" + std::to_string(options.width)
        + ",height=" + std::to_string(options.height)
        + ",framerate=30/1 ! jpegenc ! avimux name=mux ! filesink location=\"" + path.string()
        + "\"";
    if (options.withAudio)
        description += " audiotestsrc num-buffers=" + std::to_string(audioBuffers)
            + " samplesperbuffer=1024 ! audio/x-raw,format=S16LE,rate=44100,channels=1 ! mux.";

    g_autoptr(GError) error = nullptr;
    g_autoptr(GstElement) pipeline = gst_parse_launch(description.c_str(), &error);
    if (!pipeline)
        return std::string("cannot build the video pipeline: ") + (error ? error->message : "");
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        return "the video pipeline refused to start";
    }
    g_autoptr(GstBus) bus = gst_element_get_bus(pipeline);
    g_autoptr(GstMessage) message = gst_bus_timed_pop_filtered(
        bus, 30 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    gst_element_set_state(pipeline, GST_STATE_NULL);
    if (!message)
        return "the video pipeline did not finish in time";
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        g_autoptr(GError) failure = nullptr;
        gst_message_parse_error(message, &failure, nullptr);
        return std::string("the video pipeline failed: ") + (failure ? failure->message : "");
    }
    return {};
}

} // namespace parvex
