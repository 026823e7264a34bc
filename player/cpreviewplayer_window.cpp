// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window's side of the player: video size, full screen and the idle pointer.
#include "cpreviewplayer.h"
#include "previewplacement.h"

namespace parvex {

HResult CPreviewPlayer::InitVideoWindow(int multiplier, int divider)
{
    if (m_bFullScreen && m_bVideoShown)
        LeaveFullScreen();
    if (!m_graph || divider == 0)
        return hr::Ok;
    QSize size;
    if (hr::failed(m_graph->videoSize(size)))
        return hr::Ok; // no picture: nothing to size
    size = QSize(size.width() * multiplier / divider, size.height() * multiplier / divider);
    VideoView* view = m_services.view.get();
    if (view && !view->setClientSize(size)) {
        ReportFailure("FAILED(hr=0x%x) in pVW->SetWindowPosition(rect.left, rect.top, rect.right, "
                      "rect.bottom)\n",
            hr::printable(hr::Fail));
        return hr::Fail;
    }
    return hr::Ok;
}

bool CPreviewPlayer::SwitchFullScreen()
{
    if (m_bAudioOnly || !m_graph)
        return false;
    return m_bFullScreen ? LeaveFullScreen() : EnterFullScreen();
}

bool CPreviewPlayer::EnterFullScreen()
{
    VideoView* view = m_services.view.get();
    if (!m_graph || !view)
        return false;
    // Asked first: a size that cannot be had (between a stop and the next preroll) must not
    // leave a stretched window that Escape could no longer restore.
    QSize native;
    if (hr::failed(m_graph->videoSize(native)))
        return false;
    const QSize screen = view->screenSize();
    view->stretchOverScreen();
    view->placeVideo(FullScreenVideoRect(screen, native));
    m_dwLastActivity = m_services.clock();
    m_idleTimer.start(kIdlePeriodMs, this);
    m_bFullScreen = true;
    return true;
}

bool CPreviewPlayer::LeaveFullScreen()
{
    VideoView* view = m_services.view.get();
    if (!m_graph || !view)
        return false;
    view->restoreFromScreen(m_bVideoShown);
    m_idleTimer.stop();
    SetCursorVisible(true);
    m_bFullScreen = false;
    return true;
}

void CPreviewPlayer::SetCursorVisible(bool show)
{
    VideoView* view = m_services.view.get();
    if (show) {
        if (m_bPointerHidden && view)
            view->setPointerVisible(true);
        m_bPointerHidden = false;
        m_dwLastActivity = m_services.clock();
    } else if (!m_bPointerHidden) {
        if (view)
            view->setPointerVisible(false);
        m_bPointerHidden = true;
    }
}

void CPreviewPlayer::CheckIdlePointer()
{
    if (m_bFullScreen && m_services.clock() - m_dwLastActivity > kPointerIdleMs)
        SetCursorVisible(false);
}

PreviewMenuState CPreviewPlayer::menuState() const
{
    PreviewMenuState state;
    state.fullScreenChecked = m_bFullScreen;
    switch (m_State) {
    case PlayState::Stopped:
        state.pauseEnabled = false;
        state.stopEnabled = false;
        break;
    case PlayState::Paused:
        state.pauseEnabled = false;
        break;
    case PlayState::Running:
        state.playEnabled = false;
        break;
    case PlayState::Closed:
        break;
    }
    return state;
}

void CPreviewPlayer::viewEscapePressed()
{
    if (m_bFullScreen)
        LeaveFullScreen();
}

void CPreviewPlayer::viewMouseActivity()
{
    if (m_bFullScreen)
        SetCursorVisible(true);
}

} // namespace parvex
