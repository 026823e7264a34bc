// SPDX-License-Identifier: GPL-3.0-or-later
// The warm-up waits on the audio sink's own pad until its preroll buffer is written, then on the
// pipeline clock until the server has had time to report how far the stream has played.
#include "audiowarmup.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// How long the clock runs in the warm-up. The client library takes the stream's position from
// the server's timing replies, the first of which comes a round trip after the stream starts;
// pausing before it (a millisecond after the start) leaves the clock as wrong as before.
constexpr std::chrono::milliseconds kClockRun { 30 };
// A clock that does not move (a sink that never starts) ends the warm-up after this.
constexpr std::chrono::milliseconds kClockRunLimit { 1000 };

// Set by the pad probe on a streaming thread, waited for on the GUI thread.
struct RenderSignal
{
    std::mutex mutex;
    std::condition_variable changed;
    bool rendered = false; // guarded by mutex
};

// The sink's pad sees the next buffer (or the end of the stream) only once the sink has
// returned from rendering the one it prerolled with.
GstPadProbeReturn onDataAfterPreroll(GstPad*, GstPadProbeInfo* info, gpointer data)
{
    if ((GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) != 0
        && GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) != GST_EVENT_EOS)
        return GST_PAD_PROBE_OK;
    auto& signal = **static_cast<std::shared_ptr<RenderSignal>*>(data);
    {
        const std::lock_guard lock(signal.mutex);
        signal.rendered = true;
    }
    signal.changed.notify_all();
    return GST_PAD_PROBE_OK;
}

void deleteSignal(gpointer data)
{
    delete static_cast<std::shared_ptr<RenderSignal>*>(data);
}

// Waits on the GUI thread until the streaming thread has passed the sink's pad once more.
void waitForRender(const RenderSignal& signal, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(const_cast<std::mutex&>(signal.mutex));
    const_cast<std::condition_variable&>(signal.changed).wait_for(lock, timeout, [&] {
        return signal.rendered;
    });
}

// Waits until the pipeline clock has run kClockRun past `from`, polling the position.
void waitForClockRun(GstElement* playbin)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + kClockRunLimit;
    gint64 from = -1;
    gint64 now = -1;
    while (steady_clock::now() < deadline) {
        if (gst_element_query_position(playbin, GST_FORMAT_TIME, &now) && now >= 0) {
            if (from < 0)
                from = now;
            else if (now - from >= duration_cast<nanoseconds>(kClockRun).count())
                return;
        }
        std::this_thread::sleep_for(milliseconds(2));
    }
}

// Plays until the sink has rendered its preroll buffer and its clock has run a little; a sink
// that renders nothing within `timeout` is paused all the same.
bool playBriefly(GstElement* playbin, GstElement* audioSink, std::chrono::milliseconds timeout)
{
    g_autoptr(GstPad) pad = gst_element_get_static_pad(audioSink, "sink");
    if (!pad)
        return false;
    // Shared with the probe: it may still run while the probe is being removed.
    const auto signal = std::make_shared<RenderSignal>();
    const gulong probe = gst_pad_add_probe(pad,
        static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST
            | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        &onDataAfterPreroll, new std::shared_ptr<RenderSignal>(signal), &deleteSignal);
    const bool playing
        = gst_element_set_state(playbin, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    if (playing) {
        waitForRender(*signal, timeout);
        waitForClockRun(playbin);
    }
    gst_pad_remove_probe(pad, probe);
    return playing;
}

bool settled(GstElement* playbin, std::chrono::milliseconds timeout)
{
    const auto ns = static_cast<GstClockTime>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(timeout).count());
    return gst_element_get_state(playbin, nullptr, nullptr, ns) != GST_STATE_CHANGE_FAILURE;
}

} // namespace

bool WarmUpAudioOutput(GstElement* playbin, GstElement* audioSink, BusMessageQueue& messages,
    std::chrono::milliseconds timeout)
{
    gboolean wasMuted = FALSE;
    g_object_get(playbin, "mute", &wasMuted, nullptr);
    g_object_set(playbin, "mute", TRUE, nullptr);
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    const bool done = playBriefly(playbin, audioSink, timeout)
        && gst_element_set_state(playbin, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE
        && settled(playbin, timeout) && gst_element_seek_simple(playbin, GST_FORMAT_TIME, flags, 0)
        && settled(playbin, timeout);
    g_object_set(playbin, "mute", wasMuted, nullptr);
    // A file shorter than the warm-up ended in it; the seek has taken that end back.
    messages.discard(GST_MESSAGE_EOS);
    return done;
}
