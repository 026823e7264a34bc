// SPDX-License-Identifier: GPL-3.0-or-later
// Transport, polling, captions and failures of the playback session; the graph does the work.
#include "cpreviewplayer.h"

#include "playerevents.h"

#include <QCoreApplication>
#include <QTimerEvent>

#include <algorithm>
#include <chrono>
#include <cstdarg>

namespace parvex {

namespace {

// The longest path or caption kept, as in a 260-character buffer with its terminator.
constexpr qsizetype kMaxTextChars = 259;
// A formatted failure text is cut like one written into a 512-character buffer.
constexpr qsizetype kMaxFailureChars = 511;
constexpr int kMutedVolume = -10000;

const char* const kCannotPlayText
    = "Cannot play the file.  The file is either corrupt or\nthe player does not support the "
      "format you are trying to play.\nIf you want more decoders, please visit our website.";

QString fileNameFromPath(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1); // a backslash belongs to the name
}

std::int64_t steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

CPreviewPlayer::CPreviewPlayer(QObject* owner, Services services)
    : m_hOwner(owner)
    , m_services(std::move(services))
{
    if (!m_services.clock)
        m_services.clock = &steadyMilliseconds;
}

CPreviewPlayer::~CPreviewPlayer()
{
    if (m_State != PlayState::Closed)
        CloseMedia();
}

int CPreviewPlayer::OpenMedia(const QString& path)
{
    m_szFile = path; // whole: any path the system accepts plays; only the caption is cut
    m_State = PlayState::Stopped;
    m_lVolume = 0;
    CreatePreviewWindow();

    m_graph = m_services.createGraph ? m_services.createGraph() : nullptr;
    if (!m_graph) {
        ReportFailure("FAILED(hr=0x%x) in CoCreateInstance(CLSID_FilterGraph, NULL, "
                      "CLSCTX_INPROC_SERVER, IID_IGraphBuilder, (void **)&pGB)\n",
            hr::printable(hr::Fail));
        return openFailed();
    }
    if (hr::failed(m_graph->renderFile(m_szFile))) {
        QString text = QString::fromLatin1(kCannotPlayText);
        if (const QStringList missing = m_graph->missingPlugins(); !missing.isEmpty())
            text += QStringLiteral("\n\nMissing plug-in: ")
                + missing.join(QStringLiteral("\nMissing plug-in: "));
        if (m_services.reportFailure)
            m_services.reportFailure(text);
        return openFailed();
    }
    DetectAudioOnly();
    if (const HResult result = m_graph->setNotifyReceiver(this); hr::failed(result)) {
        ReportFailure("FAILED(hr=0x%x) in pME->SetNotifyWindow(reinterpret_cast<OAHWND>(m_hWnd), "
                      "WM_GRAPHNOTIFY, 0)\n",
            hr::printable(result));
        return openFailed();
    }
    if (!m_bAudioOnly) {
        if (const HResult result = InitVideoWindow(1, 1); hr::failed(result)) {
            ReportFailure("FAILED(hr=0x%x) in InitVideoWindow(1, 1)\n", hr::printable(result));
            return openFailed();
        }
        m_bVideoShown = true;
    }
    if (VideoView* view = m_services.view.get())
        view->setVisible(!m_bAudioOnly);
    RefreshTitle();
    m_pollTimer.start(kPollPeriodMs, this);
    return 1;
}

int CPreviewPlayer::openFailed()
{
    CloseMedia();
    return 0;
}

void CPreviewPlayer::CloseMedia()
{
    if (m_graph)
        m_graph->stop();
    m_State = PlayState::Stopped;
    m_bAudioOnly = true;
    if (m_bWindowCreated)
        DestroyPreviewWindow();
    if (m_graph)
        m_graph->setNotifyReceiver(nullptr);
    m_graph.reset();
    m_szFile.clear();
    m_State = PlayState::Closed;
    RefreshTitle();
}

void CPreviewPlayer::Play()
{
    if (!m_graph)
        return;
    if (m_State == PlayState::Stopped || m_State == PlayState::Paused) {
        if (!hr::failed(m_graph->run()))
            m_State = PlayState::Running;
    }
    if (!hr::failed(m_graph->setRate(1.0)))
        RefreshTitle();
}

void CPreviewPlayer::Pause()
{
    if (!m_graph)
        return;
    if (m_State == PlayState::Running && !hr::failed(m_graph->pause()))
        m_State = PlayState::Paused;
    RefreshTitle();
}

void CPreviewPlayer::Stop()
{
    if (!m_graph)
        return;
    if (m_State == PlayState::Paused || m_State == PlayState::Running) {
        m_idleTimer.stop();
        // Paused, not stopped: a stopped graph lets go of the file and would have to open it
        // again (gone if it was removed or unmounted meanwhile) to play. Results unchecked on
        // purpose: whatever fails here, the next Play starts the graph from where it was left,
        // and the poll shows where that is.
        m_graph->pause();
        m_State = PlayState::Stopped;
        m_graph->setPosition(0);
    }
    RefreshTitle();
}

HResult CPreviewPlayer::SeekTo(std::int64_t position)
{
    if (!m_graph)
        return hr::Ok;
    return m_graph->setPosition(std::max<std::int64_t>(position, 0));
}

void CPreviewPlayer::PollPosition()
{
    if (!m_graph)
        return;
    std::int64_t stop = 0;
    std::int64_t position = 0;
    if (hr::failed(m_graph->stopPosition(stop)))
        return;
    m_llStop = stop;
    if (hr::failed(m_graph->currentPosition(position)))
        return;
    m_llPosition = position;
    if (m_hOwner)
        QCoreApplication::postEvent(m_hOwner, new QEvent(PlayerEvents::PlayPosition));
}

void CPreviewPlayer::RefreshTitle()
{
    VideoView* view = m_services.view.get();
    if (!m_bWindowCreated || !view)
        return;
    const QString text = m_szFile.isEmpty()
        ? QStringLiteral("PREVIEW")
        : QStringLiteral("%1 %2 %3")
              .arg(fileNameFromPath(m_szFile),
                  m_lVolume == kMutedVolume ? QStringLiteral("(Muted)") : QString(),
                  m_State == PlayState::Paused ? QStringLiteral("(Paused)") : QString());
    view->setCaption(text.left(kMaxTextChars));
}

void CPreviewPlayer::ReportFailure(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const QString text = QString::vasprintf(format, arguments).left(kMaxFailureChars);
    va_end(arguments);
    if (m_services.reportFailure)
        m_services.reportFailure(text);
}

void CPreviewPlayer::CreatePreviewWindow()
{
    if (VideoView* view = m_services.view.get())
        view->create();
    m_bWindowCreated = true;
}

void CPreviewPlayer::DestroyPreviewWindow()
{
    VideoView* view = m_services.view.get();
    if (m_graph && view) {
        view->setVisible(false);
        if (m_bFullScreen) {
            m_bVideoShown = false;
            LeaveFullScreen();
            view->setVisible(false);
        }
    }
    // The timers belong to the window's lifetime.
    m_idleTimer.stop();
    m_pollTimer.stop();
    if (view)
        view->destroy();
    m_bWindowCreated = false;
}

void CPreviewPlayer::DetectAudioOnly()
{
    if (!m_graph) {
        m_bAudioOnly = true;
        return;
    }
    m_bAudioOnly = false;
    const HResult result = m_graph->videoPresence();
    if (result == hr::NoInterface)
        m_bAudioOnly = true;
    else if (hr::failed(result))
        ReportFailure("Failed(%08lx) in pVW->get_Visible()!\r\n",
            static_cast<unsigned long>(hr::printable(result)));
}

void CPreviewPlayer::DrainGraphEvents()
{
    if (!m_graph)
        return;
    while (const auto graphEvent = m_graph->nextEvent()) {
        switch (graphEvent->code) {
        case GraphEventCode::Complete:
            Stop();
            break;
        case GraphEventCode::ErrorAbort:
            // Streaming has ended on the error: the graph would neither play on nor say more.
            // Closed first, so that nothing else arrives while the box is up.
            CloseMedia();
            if (m_services.reportFailure)
                m_services.reportFailure(graphEvent->text);
            return;
        case GraphEventCode::AudioUnavailable:
            ReportFailure("Cannot open the audio output: %s\nThe file plays without sound.",
                qUtf8Printable(graphEvent->text));
            break;
        }
    }
}

void CPreviewPlayer::PresentFrame()
{
    if (!m_graph)
        return;
    const QImage frame = m_graph->takeFrame();
    VideoView* view = m_services.view.get();
    if (!frame.isNull() && view && m_bWindowCreated && !m_bAudioOnly)
        view->presentFrame(frame);
}

bool CPreviewPlayer::event(QEvent* event)
{
    if (event->type() == PlayerEvents::GraphNotify) {
        DrainGraphEvents();
        return true;
    }
    if (event->type() == PlayerEvents::VideoFrame) {
        PresentFrame();
        return true;
    }
    return QObject::event(event);
}

void CPreviewPlayer::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_pollTimer.timerId())
        PollPosition();
    else if (event->timerId() == m_idleTimer.timerId())
        CheckIdlePointer();
    else
        QObject::timerEvent(event);
}

void CPreviewPlayer::viewCloseRequested()
{
    if (m_hOwner)
        QCoreApplication::postEvent(m_hOwner, new QEvent(PlayerEvents::PlayCommand));
}

} // namespace parvex
