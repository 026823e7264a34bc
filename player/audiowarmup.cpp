// SPDX-License-Identifier: GPL-3.0-or-later
// The warm-up waits on the audio sink's own pad until its preroll buffer is written, then on the
// pipeline clock until the server has had time to report how far the stream has played.
#include "audiowarmup.h"

#include <gst/audio/audio.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace parvex {

namespace {

// How long the clock runs in the warm-up. libpulse takes the stream's position from the
// server's timing replies, the first of which comes a round trip after the stream starts;
// pausing before it (a millisecond after the start) leaves the clock as wrong as before.
constexpr std::chrono::milliseconds kClockRun { 30 };
// A clock that does not move (a sink that never starts) ends the warm-up after this.
constexpr std::chrono::milliseconds kClockRunLimit { 1000 };

// Overwrites the samples of `buffer` (writable) with silence in the format `pad` negotiated.
void fillSilence(GstPad* pad, GstBuffer* buffer)
{
    g_autoptr(GstCaps) caps = gst_pad_get_current_caps(pad);
    GstAudioInfo info;
    GstMapInfo map;
    if (!caps || !gst_audio_info_from_caps(&info, caps)
        || !gst_buffer_map(buffer, &map, GST_MAP_WRITE))
        return;
    gst_audio_format_info_fill_silence(info.finfo, map.data, map.size);
    gst_buffer_unmap(buffer, &map);
}

// `buffer` or `list` is the probe's (owned); a shared one is replaced by a writable copy.
GstBuffer* silenced(GstPad* pad, GstBuffer* buffer)
{
    buffer = gst_buffer_make_writable(buffer);
    fillSilence(pad, buffer);
    return buffer;
}

GstBufferList* silenced(GstPad* pad, GstBufferList* list)
{
    list = gst_buffer_list_make_writable(list);
    for (guint i = 0; i < gst_buffer_list_length(list); ++i)
        fillSilence(pad, gst_buffer_list_get_writable(list, i));
    return list;
}

} // namespace

struct AudioWarmUp::State
{
    std::atomic<bool> silencing { true };
    std::mutex mutex;
    std::condition_variable changed;
    int passed = 0; // buffers (and ends of stream) past the sink's pad; guarded by mutex

    static GstPadProbeReturn onData(GstPad* pad, GstPadProbeInfo* info, gpointer data)
    {
        State& state = **static_cast<std::shared_ptr<State>*>(data);
        if (!state.silencing)
            return GST_PAD_PROBE_OK;
        if ((GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) != 0)
            GST_PAD_PROBE_INFO_DATA(info) = silenced(pad, GST_PAD_PROBE_INFO_BUFFER(info));
        else if ((GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER_LIST) != 0)
            GST_PAD_PROBE_INFO_DATA(info) = silenced(pad, GST_PAD_PROBE_INFO_BUFFER_LIST(info));
        else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) != GST_EVENT_EOS)
            return GST_PAD_PROBE_OK;
        {
            const std::lock_guard lock(state.mutex);
            ++state.passed;
        }
        state.changed.notify_all();
        return GST_PAD_PROBE_OK;
    }

    static void release(gpointer data) { delete static_cast<std::shared_ptr<State>*>(data); }

    int passedSoFar()
    {
        const std::lock_guard lock(mutex);
        return passed;
    }

    // The sink's pad sees the next buffer (or the end of the stream) only once the sink has
    // returned from rendering the one before.
    void waitPast(int count, std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, timeout, [&] { return passed > count; });
    }
};

namespace {

// Waits until the pipeline clock has run kClockRun, polling the position.
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

bool settled(GstElement* playbin, std::chrono::milliseconds timeout)
{
    const auto ns = static_cast<GstClockTime>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(timeout).count());
    return gst_element_get_state(playbin, nullptr, nullptr, ns) != GST_STATE_CHANGE_FAILURE;
}

bool hasSound(GstElement* playbin)
{
    gint audioStreams = 0;
    g_object_get(playbin, "n-audio", &audioStreams, nullptr);
    return audioStreams > 0;
}

} // namespace

AudioWarmUp::AudioWarmUp()
    : m_state(std::make_shared<State>())
{ }

void AudioWarmUp::attach(GstElement* audioSink)
{
    m_state->silencing = true;
    g_autoptr(GstPad) pad = gst_element_get_static_pad(audioSink, "sink");
    if (!pad)
        return;
    // Stays for the pad's life; it does nothing once the warm-up is over.
    gst_pad_add_probe(pad,
        static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST
            | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        &State::onData, new std::shared_ptr<State>(m_state), &State::release);
}

bool AudioWarmUp::run(
    GstElement* playbin, BusMessageQueue& messages, std::chrono::milliseconds timeout)
{
    if (!hasSound(playbin)) {
        m_state->silencing = false;
        return true;
    }
    const int prerolled = m_state->passedSoFar();
    bool done = gst_element_set_state(playbin, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    if (done) {
        m_state->waitPast(prerolled, timeout);
        waitForClockRun(playbin);
    }
    // Paused, the sink holds the last silenced buffer and nothing passes its pad until the
    // flush, which drops that buffer: every buffer after it is heard.
    done = done && gst_element_set_state(playbin, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE
        && settled(playbin, timeout);
    m_state->silencing = false;
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    done = done && gst_element_seek_simple(playbin, GST_FORMAT_TIME, flags, 0)
        && settled(playbin, timeout);
    // A file shorter than the warm-up ended in it; the seek has taken that end back.
    messages.discard(GST_MESSAGE_EOS);
    return done;
}

} // namespace parvex
