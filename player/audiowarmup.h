// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a freshly prerolled graph for a moment, silenced, so that its first Play is heard at once.
#pragma once

#include "busmessagequeue.h"

#include <gst/gst.h>

#include <chrono>
#include <memory>

namespace parvex {

// Why: pulsesink creates its sound-server stream corked while the graph prerolls, yet the stream
// time it reads from libpulse (pa_stream_get_time, its clock) runs on from that moment while the
// server's read position stays at 0 (seen with PulseAudio 16: 3.50 s of clock against a read
// index of 0 after 3.5 s in PAUSED). The first PLAYING maps running time 0 to that clock time,
// so the first sample lands that far into the stream and the server plays that much silence
// first: Play was heard as late as the file had been left paused. Once the stream has played
// and been flushed, the server's read position joins the clock, and every later start (after
// Pause, a seek, Stop or the end) is heard at once.
//
// GUI thread only, except for the pad probe, which runs on the streaming thread.
class AudioWarmUp
{
public:
    AudioWarmUp();

    // Silences every buffer `audioSink` (an audio-sink bin with a "sink" pad) is given from now
    // until run() ends, the preroll buffer included: the warm-up is never heard. Call it before
    // the graph prerolls, for each sink the graph is given.
    void attach(GstElement* audioSink);

    // `playbin` must be prerolled in PAUSED. When it has sound, plays it until the sink has
    // rendered its preroll buffer and the clock has run a few tens of milliseconds, pauses it and
    // seeks back to 0 with a flush; it is left PAUSED at 0 as before, with no end-of-stream
    // message of the warm-up left in `messages`. Each wait gives up after `timeout`. False when
    // a state change or the seek failed (the reason is then on the bus).
    bool run(GstElement* playbin, BusMessageQueue& messages, std::chrono::milliseconds timeout);

private:
    struct State;
    std::shared_ptr<State> m_state; // shared with the probes, which may outlive this object
};

} // namespace parvex
