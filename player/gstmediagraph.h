// SPDX-License-Identifier: GPL-3.0-or-later
// The media graph over a GStreamer playbin: the player's real media framework.
#pragma once

#include "appsinkframes.h"
#include "audiowarmup.h"
#include "busmessagequeue.h"
#include "gstptr.h"
#include "mediagraph.h"
#include "notifytarget.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>

namespace parvex {

// Audio goes to the sink given at creation; video to an appsink (RGBx) whose frames are
// handed out by takeFrame(). Bus messages and frames are announced to the notify receiver
// with posted events (see MediaGraph). Needs gst_init(); GUI thread only, except where the
// members say otherwise.
class GstMediaGraph final : public MediaGraph
{
public:
    // How long renderFile() waits for the file to preroll.
    static constexpr std::chrono::milliseconds kPrerollTimeout { 10'000 };

    // `audioSink` is a gst-launch style description ("autoaudiosink", "fakesink sync=true").
    // Null when playbin, the appsink or the audio sink cannot be made. When the sink cannot be
    // opened for a file, the file plays into a silent sink paced like it (AudioUnavailable).
    static std::unique_ptr<GstMediaGraph> create(const QString& audioSink);
    ~GstMediaGraph() override;

    HResult renderFile(const QString& path) override;
    QStringList missingPlugins() const override;
    HResult run() override;
    HResult pause() override;
    HResult stop() override;
    HResult currentPosition(std::int64_t& mediaTime) override;
    HResult stopPosition(std::int64_t& mediaTime) override;
    HResult setPosition(std::int64_t mediaTime) override;
    HResult setRate(double rate) override;
    HResult videoPresence() override;
    HResult videoSize(QSize& size) override;
    HResult setNotifyReceiver(QObject* receiver) override;
    std::optional<GraphEvent> nextEvent() override;
    QImage takeFrame() override;

private:
    // What one attempt to preroll met.
    struct Preroll
    {
        bool done = false;
        bool audioSinkFailed = false; // the error came from the audio sink
        QString audioProblem; // why nothing will be heard; empty when all is well
    };

    GstMediaGraph() = default;
    bool build(const QString& audioSink);
    bool setAudioSink(const QString& description);
    Preroll preroll();
    bool fromAudioSink(GstMessage* message) const;
    HResult changeState(GstState state);

    NotifyTarget m_notify;
    BusMessageQueue m_messages { m_notify };
    AppSinkFrames m_frames { m_notify };
    AudioWarmUp m_warmUp;
    GstElementPtr m_playbin;
    GstElementPtr m_audioSink; // the bin playbin sends the sound to; playbin holds it too
    GstBusPtr m_bus;
    std::deque<GraphEvent> m_events; // made by the graph itself, handed out before the bus's
    QStringList m_missingPlugins;
    // The exact length of an MP3 file, counted frame by frame: playbin only estimates the
    // length of a VBR file without a Xing header, and its estimate drifts while it plays.
    std::optional<std::int64_t> m_exactLength;
    double m_rate = 1.0;
};

// Makes a GstMediaGraph with the given audio sink each time it is called, for CPreviewPlayer.
std::function<std::unique_ptr<MediaGraph>()> GstMediaGraphFactory(
    const QString& audioSink = QStringLiteral("autoaudiosink"));

} // namespace parvex
