// SPDX-License-Identifier: GPL-3.0-or-later
// Records a sound server's monitor source in this process and notes when sound first arrived.
#pragma once

#include "gstptr.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>

namespace parvex {

// Listens to `source` (a monitor, "null.monitor") of the PulseAudio server at `server` with a
// 5 ms fragment, so that what the sink plays arrives here within a few milliseconds.
class MonitorRecorder
{
public:
    using Clock = std::chrono::steady_clock;
    // Louder than this (of 32767) is sound; a decoder's dither or rounding stays far below.
    static constexpr int kSoundLevel = 300;
    static constexpr std::chrono::seconds kStartTimeout { 5 };

    MonitorRecorder(const std::string& server, const std::string& source);
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    // Starts recording and returns once the first fragment has arrived: the server has then
    // taken this source's latency into account. False, with the reason, when it did not.
    bool start(std::string* problem);
    // When the first sample louder than kSoundLevel was played since start() or forget():
    // its fragment's arrival time less the time of the samples that followed it.
    std::optional<Clock::time_point> firstSound() const;
    void forget();

private:
    static GstFlowReturn onSample(GstAppSink* sink, gpointer self);
    void listen(GstSample* sample);

    std::string m_description;
    GstElementPtr m_pipeline;
    std::atomic<bool> m_receiving { false };
    std::atomic<Clock::rep> m_firstSound { 0 }; // Clock ticks; 0 while nothing was heard
};

} // namespace parvex
