// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window as the player drives it: a widget elsewhere, a recording fake in tests.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

namespace parvex {

// One view serves one player and one file. All calls come from the GUI thread. The view
// reports the user's actions back to its player (CPreviewPlayer::viewCloseRequested,
// viewEscapePressed, viewMouseActivity, the popup commands); it never acts on them itself.
class VideoView
{
public:
    virtual ~VideoView() = default;

    // Creates the top-level window, hidden, captioned "Video Window", with a black background,
    // placed at InitialPreviewRect() of the desktop work area and the owner dialog. Called
    // once, before any other call.
    virtual void create() = 0;
    // Destroys the window. Nothing but the destructor follows.
    virtual void destroy() = 0;

    // Shows the window in its normal (not minimised) state, or hides it.
    virtual void setVisible(bool visible) = 0;
    // The window's title; at most 259 characters.
    virtual void setCaption(const QString& caption) = 0;
    // The picture to paint from now on, scaled into the video's place (the whole client area
    // outside full screen). The view keeps its own copy; a null image is never passed.
    virtual void presentFrame(const QImage& frame) = 0;

    // "Normal size": resizes the window so that its client area is `clientSize` (the video's
    // native size), keeping its position and bringing it to the top; the video then fills the
    // client area. False when the video cannot be placed there.
    virtual bool setClientSize(QSize clientSize) = 0;

    // The size of the screen the window is on, in pixels.
    virtual QSize screenSize() const = 0;
    // Saves the window's geometry and frame, then makes it frameless, on top and covering the
    // whole screen from (0, 0), shown. Until told otherwise the video fills the client area.
    virtual void stretchOverScreen() = 0;
    // Places the video at `videoRect` (client coordinates) while stretched over the screen;
    // the rest of the window stays black.
    virtual void placeVideo(const QRect& videoRect) = 0;
    // Back from stretchOverScreen(): the saved frame and geometry without stay-on-top, the
    // video fitting the client area again; the owner dialog is raised, then the window, when
    // `show`, is shown above it as the active window; otherwise it is hidden.
    virtual void restoreFromScreen(bool show) = 0;

    // Shows or blanks the mouse pointer over the window.
    virtual void setPointerVisible(bool visible) = 0;
};

} // namespace parvex
