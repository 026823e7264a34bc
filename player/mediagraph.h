// SPDX-License-Identifier: GPL-3.0-or-later
// What the preview player asks of a media framework: one playback graph per file.
#pragma once

#include "hresult.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QObject;

namespace parvex {

// Codes of the events a graph reports.
enum class GraphEventCode : int {
    Complete = 1, // the media has played to its end; the graph stays running
    ErrorAbort = 3, // playback stopped on an error; `text` is the framework's own account
    // No audio output could be opened: the media plays in silence, its position moving as if
    // heard; `text` says why. At most once per renderFile().
    AudioUnavailable = 0x8000,
};

struct GraphEvent
{
    GraphEventCode code = GraphEventCode::Complete;
    QString text;
};

// A graph is built for one file, used from the GUI thread only, and released by destroying it
// (which stops it first). Positions are media time: signed 64-bit counts of 100-ns units.
// Every operation returns hr::Ok or a failure; a failed transport call leaves the graph in the
// state it was in.
class MediaGraph
{
public:
    virtual ~MediaGraph() = default;

    // Builds the graph for the file at `path` and makes it ready to play: paused on its first
    // sample. Blocks until then, until an error, or until a time-out of a few seconds; any of
    // the last two is a failure: the file cannot be played. An audio output that cannot be
    // opened is none: the graph then plays without one and reports AudioUnavailable.
    virtual HResult renderFile(const QString& path) = 0;
    // What the last renderFile() could not find to play the file, in the framework's words
    // ("MPEG-1 Layer 3 (MP3) decoder"); empty when nothing was missing.
    virtual QStringList missingPlugins() const = 0;

    virtual HResult run() = 0;
    virtual HResult pause() = 0;
    // Stops streaming and lets go of the file, before the graph is destroyed. A pause() or
    // run() that follows opens the file again and starts from the beginning.
    virtual HResult stop() = 0;

    // The position played now. May fail for a moment after a state change or a seek.
    virtual HResult currentPosition(std::int64_t& mediaTime) = 0;
    // The end of the media, that is its length: nobody moves the stop position.
    virtual HResult stopPosition(std::int64_t& mediaTime) = 0;
    // Absolute and flushing: the next sample played is the one at `mediaTime` (>= 0). The
    // transport state does not change.
    virtual HResult setPosition(std::int64_t mediaTime) = 0;
    virtual HResult setRate(double rate) = 0;

    // hr::Ok when the media has a picture, hr::NoInterface when it has none.
    virtual HResult videoPresence() = 0;
    // The picture's native size in pixels; hr::NoInterface without a picture.
    virtual HResult videoSize(QSize& size) = 0;

    // From now on, events of type PlayerEvents::GraphNotify are posted to `receiver` whenever
    // graph events wait, and PlayerEvents::VideoFrame whenever a new frame waits (also for
    // what already waits). Null: nothing more is posted once this returns. The receiver must
    // live on the GUI thread and outlive the registration.
    virtual HResult setNotifyReceiver(QObject* receiver) = 0;
    // The next waiting event, without waiting; nullopt when none waits.
    virtual std::optional<GraphEvent> nextEvent() = 0;
    // The newest video frame not yet taken, or a null image. Older frames are dropped.
    virtual QImage takeFrame() = 0;
};

} // namespace parvex
