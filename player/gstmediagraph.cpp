// SPDX-License-Identifier: GPL-3.0-or-later
// playbin driven from the GUI thread: state changes checked, positions converted to 100 ns.
#include "gstmediagraph.h"

#include "audiowarmup.h"
#include "mediatime.h"
#include "mpegprobe.h"
#include "playerevents.h"

#include <QFile>

#include <gst/pbutils/pbutils.h>
#include <gst/video/video.h>

#include <algorithm>
#include <utility>

namespace parvex {

namespace {

constexpr std::int64_t kNsPerMediaTime = GST_SECOND / kMediaTimePerSecond;

// Where the sound goes when no audio output opens: nowhere, at the pace of a sound card, so
// that the position moves as if heard.
constexpr const char* kSilentAudioSink = "fakesink sync=true";

// The user-facing text of an error or warning message.
QString messageText(GstMessage* message)
{
    g_autoptr(GError) error = nullptr;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_WARNING)
        gst_message_parse_warning(message, &error, nullptr);
    else
        gst_message_parse_error(message, &error, nullptr);
    return QString::fromUtf8(error ? error->message : "unknown error");
}

} // namespace

std::unique_ptr<GstMediaGraph> GstMediaGraph::create(const QString& audioSink)
{
    gst_pb_utils_init(); // the missing plug-ins' descriptions; does nothing after the first call
    std::unique_ptr<GstMediaGraph> graph(new GstMediaGraph);
    if (!graph->build(audioSink))
        return nullptr;
    return graph;
}

bool GstMediaGraph::build(const QString& audioSink)
{
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (!playbin)
        return false;
    m_playbin.reset(GST_ELEMENT(gst_object_ref_sink(playbin)));
    if (!m_frames.create() || !setAudioSink(audioSink))
        return false;
    g_object_set(m_playbin.get(), "video-sink", m_frames.sink(), nullptr);
    m_bus.reset(gst_element_get_bus(m_playbin.get()));
    m_messages.attach(m_bus.get());
    return true;
}

// playbin must be in NULL or READY.
bool GstMediaGraph::setAudioSink(const QString& description)
{
    g_autoptr(GError) error = nullptr;
    // FATAL_ERRORS: an unknown element fails here instead of leaving a half-built bin.
    GstElement* audio = gst_parse_bin_from_description_full(
        description.toUtf8().constData(), TRUE, nullptr, GST_PARSE_FLAG_FATAL_ERRORS, &error);
    if (!audio)
        return false;
    m_audioSink.reset(GST_ELEMENT(gst_object_ref_sink(audio)));
    m_warmUp.attach(audio);
    g_object_set(m_playbin.get(), "audio-sink", audio, nullptr); // playbin adds its own reference
    return true;
}

GstMediaGraph::~GstMediaGraph()
{
    m_notify.setReceiver(nullptr);
    // NULL joins every streaming thread: no callback or sync handler runs after this.
    if (m_playbin
        && gst_element_set_state(m_playbin.get(), GST_STATE_NULL) == GST_STATE_CHANGE_FAILURE)
        g_warning("playbin failed to shut down");
    m_messages.detach();
}

HResult GstMediaGraph::changeState(GstState state)
{
    // FAILURE means an element posted the reason as an error on the bus; ASYNC is success
    // still under way (the pipeline prerolls on its own threads).
    if (gst_element_set_state(m_playbin.get(), state) == GST_STATE_CHANGE_FAILURE)
        return hr::Fail;
    return hr::Ok;
}

HResult GstMediaGraph::renderFile(const QString& path)
{
    const QByteArray localPath = QFile::encodeName(path);
    g_autoptr(GError) error = nullptr;
    g_autofree gchar* uri = gst_filename_to_uri(localPath.constData(), &error);
    if (!uri || hr::failed(changeState(GST_STATE_READY)))
        return hr::Fail;
    g_object_set(m_playbin.get(), "uri", uri, nullptr);
    Preroll attempt = preroll();
    if (attempt.audioSinkFailed) {
        // The file is playable; only its sound has nowhere to go.
        const QString problem = attempt.audioProblem;
        if (hr::failed(changeState(GST_STATE_NULL))
            || !setAudioSink(QString::fromLatin1(kSilentAudioSink)))
            return hr::Fail;
        m_messages.clear(); // the failed attempt's, now that NULL has joined its threads
        // Given again: after a failed start playbin has no file to begin with.
        g_object_set(m_playbin.get(), "uri", uri, nullptr);
        attempt = preroll();
        attempt.audioProblem = problem;
    }
    // Without the warm-up a sound server heard the first Play late (see AudioWarmUp).
    if (!attempt.done || !m_warmUp.run(m_playbin.get(), m_messages, kPrerollTimeout))
        return hr::Fail;
    if (!attempt.audioProblem.isEmpty())
        m_events.push_back({ GraphEventCode::AudioUnavailable, attempt.audioProblem });
    m_exactLength = ExactMpegMediaTime(localPath.toStdString());
    return hr::Ok;
}

GstMediaGraph::Preroll GstMediaGraph::preroll()
{
    using namespace std::chrono;
    Preroll result;
    const GstStateChangeReturn change = gst_element_set_state(m_playbin.get(), GST_STATE_PAUSED);
    result.done = change == GST_STATE_CHANGE_SUCCESS || change == GST_STATE_CHANGE_NO_PREROLL;
    // Positions and seeks work only once the pipeline has prerolled (ASYNC_DONE). A change that
    // ended at once has posted all it had to say: that is read without waiting.
    const auto deadline = steady_clock::now()
        + (change == GST_STATE_CHANGE_ASYNC ? kPrerollTimeout : milliseconds::zero());
    const auto types = static_cast<GstMessageType>(
        GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR | GST_MESSAGE_WARNING | GST_MESSAGE_ELEMENT);
    for (;;) {
        const auto left = std::max(
            duration_cast<milliseconds>(deadline - steady_clock::now()), milliseconds::zero());
        const GstMessagePtr message = m_messages.waitFor(types, left);
        if (!message)
            return result;
        switch (GST_MESSAGE_TYPE(message.get())) {
        case GST_MESSAGE_ASYNC_DONE:
            result.done = true;
            return result;
        case GST_MESSAGE_ERROR:
            result.done = false;
            if (fromAudioSink(message.get())) {
                result.audioSinkFailed = true;
                result.audioProblem = messageText(message.get());
            }
            return result;
        case GST_MESSAGE_WARNING:
            // autoaudiosink warns, then plays into a silent sink, when no output opens.
            if (fromAudioSink(message.get()))
                result.audioProblem = messageText(message.get());
            break;
        case GST_MESSAGE_ELEMENT: { // the bus queue keeps only the missing-plug-in ones
            g_autofree gchar* what = gst_missing_plugin_message_get_description(message.get());
            if (what && !m_missingPlugins.contains(QString::fromUtf8(what)))
                m_missingPlugins << QString::fromUtf8(what);
            break;
        }
        default:
            break;
        }
    }
}

bool GstMediaGraph::fromAudioSink(GstMessage* message) const
{
    GstObject* source = GST_MESSAGE_SRC(message);
    return source && m_audioSink
        && gst_object_has_as_ancestor(source, GST_OBJECT(m_audioSink.get()));
}

QStringList GstMediaGraph::missingPlugins() const
{
    return m_missingPlugins;
}

HResult GstMediaGraph::run()
{
    return changeState(GST_STATE_PLAYING);
}

HResult GstMediaGraph::pause()
{
    return changeState(GST_STATE_PAUSED);
}

HResult GstMediaGraph::stop()
{
    return changeState(GST_STATE_READY);
}

HResult GstMediaGraph::currentPosition(std::int64_t& mediaTime)
{
    gint64 ns = 0;
    if (!gst_element_query_position(m_playbin.get(), GST_FORMAT_TIME, &ns) || ns < 0)
        return hr::Fail;
    mediaTime = ns / kNsPerMediaTime;
    return hr::Ok;
}

HResult GstMediaGraph::stopPosition(std::int64_t& mediaTime)
{
    if (m_exactLength) {
        mediaTime = *m_exactLength;
        return hr::Ok;
    }
    gint64 ns = 0;
    if (!gst_element_query_duration(m_playbin.get(), GST_FORMAT_TIME, &ns) || ns < 0)
        return hr::Fail;
    mediaTime = ns / kNsPerMediaTime;
    return hr::Ok;
}

HResult GstMediaGraph::setPosition(std::int64_t mediaTime)
{
    // ACCURATE also makes the MP3 parser find the exact frame of a VBR file without a Xing
    // header instead of guessing its byte offset from the average bitrate.
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    const gint64 ns = std::max<std::int64_t>(mediaTime, 0) * kNsPerMediaTime;
    if (!gst_element_seek(m_playbin.get(), m_rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, ns,
            GST_SEEK_TYPE_NONE, 0))
        return hr::Fail;
    return hr::Ok;
}

HResult GstMediaGraph::setRate(double rate)
{
    if (rate == m_rate)
        return hr::Ok;
    std::int64_t position = 0;
    if (rate <= 0.0 || hr::failed(currentPosition(position)))
        return hr::Fail;
    const double previous = std::exchange(m_rate, rate);
    if (hr::failed(setPosition(position))) {
        m_rate = previous;
        return hr::Fail;
    }
    return hr::Ok;
}

HResult GstMediaGraph::videoPresence()
{
    gint videoStreams = 0;
    g_object_get(m_playbin.get(), "n-video", &videoStreams, nullptr);
    return videoStreams > 0 ? hr::Ok : hr::NoInterface;
}

HResult GstMediaGraph::videoSize(QSize& size)
{
    GstPad* pad = nullptr;
    g_signal_emit_by_name(m_playbin.get(), "get-video-pad", 0, &pad);
    if (!pad)
        return hr::NoInterface;
    g_autoptr(GstPad) ownedPad = pad;
    g_autoptr(GstCaps) caps = gst_pad_get_current_caps(ownedPad);
    GstVideoInfo info;
    if (!caps || !gst_video_info_from_caps(&info, caps))
        return hr::NoInterface;
    size = QSize(GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info));
    return hr::Ok;
}

HResult GstMediaGraph::setNotifyReceiver(QObject* receiver)
{
    m_notify.setReceiver(receiver);
    if (!receiver)
        return hr::Ok;
    // What arrived while nobody listened (a preroll frame, a late error) is announced now.
    if (!m_messages.empty() || !m_events.empty())
        m_notify.post(PlayerEvents::GraphNotify);
    if (m_frames.pending())
        m_notify.post(PlayerEvents::VideoFrame);
    return hr::Ok;
}

std::optional<GraphEvent> GstMediaGraph::nextEvent()
{
    if (!m_events.empty()) {
        GraphEvent next = std::move(m_events.front());
        m_events.pop_front();
        return next;
    }
    while (const GstMessagePtr message = m_messages.pop()) {
        switch (GST_MESSAGE_TYPE(message.get())) {
        case GST_MESSAGE_EOS:
            return GraphEvent { GraphEventCode::Complete, {} };
        case GST_MESSAGE_ERROR:
            return GraphEvent { GraphEventCode::ErrorAbort, messageText(message.get()) };
        default:
            break; // async-done of a seek or state change, a warning: nothing to report
        }
    }
    return std::nullopt;
}

QImage GstMediaGraph::takeFrame()
{
    return m_frames.take();
}

std::function<std::unique_ptr<MediaGraph>()> GstMediaGraphFactory(const QString& audioSink)
{
    return [audioSink]() -> std::unique_ptr<MediaGraph> {
        return GstMediaGraph::create(audioSink);
    };
}

} // namespace parvex
