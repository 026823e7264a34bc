// SPDX-License-Identifier: GPL-3.0-or-later
// playbin's video sink: an appsink whose RGBx samples become QImages for the GUI thread.
#pragma once

#include "gstptr.h"

#include <QImage>

#include <gst/app/gstappsink.h>

#include <atomic>
#include <mutex>

namespace parvex {

class NotifyTarget;

// The appsink's callbacks run on a streaming thread: they only convert the sample into the
// newest frame, under a mutex, and post PlayerEvents::VideoFrame when none is pending. The
// GUI thread collects the frame with take(). Older frames are overwritten, never queued.
// The pipeline using sink() must be stopped (NULL state) before this object is destroyed.
class AppSinkFrames
{
public:
    explicit AppSinkFrames(NotifyTarget& notify);
    AppSinkFrames(const AppSinkFrames&) = delete;
    AppSinkFrames& operator=(const AppSinkFrames&) = delete;

    // Makes the appsink; false when the element cannot be made.
    bool create();
    // The appsink, owned here; playbin takes its own reference when it is set as video sink.
    GstElement* sink() const { return m_sink.get(); }

    // GUI thread: the newest frame not yet taken, or a null image.
    QImage take();
    bool pending() const { return m_pending.load(); }

private:
    static GstFlowReturn onNewPreroll(GstAppSink* sink, gpointer self);
    static GstFlowReturn onNewSample(GstAppSink* sink, gpointer self);
    void store(GstSample* sample);

    NotifyTarget& m_notify;
    GstElementPtr m_sink;
    std::mutex m_mutex;
    QImage m_latest; // guarded by m_mutex
    std::atomic<bool> m_pending = false; // an event is posted and its frame not yet taken
};

// A deep copy of an RGBx sample as QImage::Format_RGBX8888; null when it cannot be mapped.
QImage ImageFromRgbxSample(GstSample* sample);

} // namespace parvex
