// SPDX-License-Identifier: GPL-3.0-or-later
// The playback session for the open source: its media graph, transport state and preview view.
#pragma once

#include "hresult.h"
#include "mediagraph.h"
#include "playstate.h"
#include "videoview.h"

#include <QBasicTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace parvex {

// What the preview window's popup menu shows for the current state.
struct PreviewMenuState
{
    bool fullScreenChecked = false;
    bool playEnabled = true;
    bool pauseEnabled = true;
    bool stopEnabled = true;
};

// One player per opened file: OpenMedia() once, CloseMedia() once, then destroyed. GUI thread
// only. The graph plays on its own threads; the player hears of it through posted events.
class CPreviewPlayer : public QObject
{
    Q_OBJECT

public:
    using GraphFactory = std::function<std::unique_ptr<MediaGraph>()>;
    // Shows `text` in a modal box without owner, caption "PARVEX", button OK.
    using FailureReporter = std::function<void(const QString& text)>;
    // Monotonic milliseconds, for the full-screen idle pointer.
    using Clock = std::function<std::int64_t()>;

    struct Services
    {
        GraphFactory createGraph; // null result: the graph cannot be created
        std::unique_ptr<VideoView> view; // the preview window; may be null (no window)
        FailureReporter reportFailure; // may be null: failures are then silent
        Clock clock; // null: std::chrono::steady_clock
    };

    // `owner` (not owned; the dialog) receives PlayerEvents::PlayPosition and PlayCommand.
    CPreviewPlayer(QObject* owner, Services services);
    // Closes the media if that was not done.
    ~CPreviewPlayer() override;

    // 1 when opened (Stopped at 0, paused on the first sample, nothing sounding); 0 when not,
    // after one failure message; the player is then closed. The caption shows at most 259
    // characters of the name; the path itself is used whole.
    int OpenMedia(const QString& path);
    void CloseMedia();
    void Play();
    void Pause();
    // Stops, rewinds to 0 and leaves the graph paused there, in state Stopped.
    void Stop();
    // Media time; a negative one seeks to 0. The transport state does not change.
    HResult SeekTo(std::int64_t position);
    // Reads m_llStop and m_llPosition and, if both reads succeed, posts PlayPosition to the
    // owner. Runs every 1000 ms from OpenMedia() until the view is destroyed.
    void PollPosition();
    void RefreshTitle();
    void ReportFailure(const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);

    // The preview window's commands ("Normal size" is InitVideoWindow(1, 1)).
    HResult InitVideoWindow(int multiplier, int divider);
    bool SwitchFullScreen();
    bool EnterFullScreen();
    bool LeaveFullScreen();
    void SetCursorVisible(bool show);
    // The work of the full-screen idle timer: hides the pointer after more than
    // kPointerIdleMs without mouse activity.
    void CheckIdlePointer();
    PreviewMenuState menuState() const;

    // What the view reports: its close box or "Close" item (posts PlayCommand to the owner),
    // Escape, and any mouse move or click (wakes the pointer in full screen).
    void viewCloseRequested();
    void viewEscapePressed();
    void viewMouseActivity();

    // Read by the dialog and tests; written by the player only.
    PlayState m_State = PlayState::Closed;
    std::int64_t m_llPosition = 0; // media time at the last poll
    std::int64_t m_llStop = 0; // the media's length at the last poll; 0 until the first
    bool m_bAudioOnly = false;
    bool m_bFullScreen = false;
    bool m_bVideoShown = false;

    static constexpr int kPollPeriodMs = 1000;
    static constexpr int kIdlePeriodMs = 50'000;
    static constexpr std::int64_t kPointerIdleMs = 100'000;

protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void CreatePreviewWindow();
    void DestroyPreviewWindow();
    void DetectAudioOnly();
    void DrainGraphEvents();
    void PresentFrame();
    int openFailed();

    QPointer<QObject> m_hOwner;
    Services m_services;
    QString m_szFile;
    int m_lVolume = 0; // hundredths of a decibel; -10000 is silence
    std::unique_ptr<MediaGraph> m_graph;
    bool m_bWindowCreated = false;
    bool m_bPointerHidden = false;
    std::int64_t m_dwLastActivity = 0; // clock milliseconds
    QBasicTimer m_pollTimer; // position poll, every kPollPeriodMs
    QBasicTimer m_idleTimer; // full-screen pointer check, every kIdlePeriodMs
};

} // namespace parvex
