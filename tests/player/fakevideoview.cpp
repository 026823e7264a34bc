// SPDX-License-Identifier: GPL-3.0-or-later
// Recording only: no window is created.
#include "fakevideoview.h"

namespace parvex {

QString SizeText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

void FakeVideoView::create()
{
    m_log->calls << QStringLiteral("create");
}

void FakeVideoView::destroy()
{
    m_log->calls << QStringLiteral("destroy");
    m_log->visible = false;
}

void FakeVideoView::setVisible(bool visible)
{
    m_log->calls << (visible ? QStringLiteral("show") : QStringLiteral("hide"));
    m_log->visible = visible;
}

void FakeVideoView::setCaption(const QString& caption)
{
    m_log->calls << QStringLiteral("caption ") + caption;
    m_log->caption = caption;
}

void FakeVideoView::presentFrame(const QImage& frame)
{
    m_log->calls << QStringLiteral("frame ") + SizeText(frame.size());
    ++m_log->framesPresented;
    m_log->lastFrameSize = frame.size();
}

bool FakeVideoView::setClientSize(QSize clientSize)
{
    m_log->calls << QStringLiteral("clientSize ") + SizeText(clientSize);
    return m_log->placementSucceeds;
}

void FakeVideoView::stretchOverScreen()
{
    m_log->calls << QStringLiteral("stretch");
    m_log->visible = true;
}

void FakeVideoView::placeVideo(const QRect& videoRect)
{
    m_log->calls << QStringLiteral("place %1,%2 ").arg(videoRect.x()).arg(videoRect.y())
            + SizeText(videoRect.size());
}

void FakeVideoView::restoreFromScreen(bool show)
{
    m_log->calls << (show ? QStringLiteral("restore show") : QStringLiteral("restore hide"));
    m_log->visible = show;
}

void FakeVideoView::setPointerVisible(bool visible)
{
    m_log->calls << (visible ? QStringLiteral("pointer show") : QStringLiteral("pointer hide"));
}

} // namespace parvex
