// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a freshly prerolled graph for a moment, muted, so that its first Play is heard at once.
#pragma once

#include "busmessagequeue.h"

#include <gst/gst.h>

#include <chrono>

// Why: pulsesink creates its sound-server stream corked while the graph prerolls, yet the stream
// time it reads from libpulse (pa_stream_get_time, its clock) runs on from that moment while the
// server's read position stays at 0 (seen with PulseAudio 16: 3.50 s of clock against a read
// index of 0 after 3.5 s in PAUSED). The first PLAYING maps running time 0 to that clock time,
// so the first sample lands that far into the stream and the server plays that much silence
// first: Play was heard as late as the file had been left paused. Once the stream has played
// and been flushed, the server's read position joins the clock, and every later start (after
// Pause, a seek, Stop or the end) is heard at once.
//
// `playbin` must be prerolled in PAUSED with `audioSink` (its audio-sink bin) holding a
// buffer. Plays it muted until `audioSink` has rendered that buffer and the clock has run a few
// tens of milliseconds, pauses it and seeks back to 0 with a flush, leaving it PAUSED at 0 as
// before, unmuted, with no end-of-stream message of the warm-up left in `messages`. Each wait gives
// up after `timeout`. False when a state change or the seek failed (the reason is then on the bus).
bool WarmUpAudioOutput(GstElement* playbin, GstElement* audioSink, BusMessageQueue& messages,
    std::chrono::milliseconds timeout);
