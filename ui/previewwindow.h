// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window: a top-level widget that paints the player's video frames.
#pragma once

#include "videoview.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QMenu;

namespace parvex {

class CPreviewPlayer;

// One window per player, owned by the player (through VideoView). It never acts on the user's
// input itself: the close box, "Close", Escape, mouse activity and the popup commands go to the
// player. It paints the frames it is given (no embedding of another window), so it works on
// any platform plug-in, offscreen included.
class PreviewWindow : public QWidget, public VideoView
{
    Q_OBJECT

public:
    // `ownerDialog` (borrowed, may be null): the window first appears above it, and it is
    // raised again when full screen ends. The window itself has no parent.
    explicit PreviewWindow(QWidget* ownerDialog);
    ~PreviewWindow() override;

    // Makes a PreviewWindow for each player: what the program hands to the dialog.
    static std::function<std::unique_ptr<PreviewWindow>(QWidget* ownerDialog)> factory();

    // The player to report to (not owned): set right after the player is made, forgotten by
    // destroy().
    void setPlayer(CPreviewPlayer* player) { m_player = player; }

    void create() override;
    void destroy() override;
    // Both QWidget's and VideoView's: shows or hides the window, nothing more.
    void setVisible(bool visible) override;
    void setCaption(const QString& caption) override;
    void presentFrame(const QImage& frame) override;
    bool setClientSize(QSize clientSize) override;
    QSize screenSize() const override;
    void stretchOverScreen() override;
    void placeVideo(const QRect& videoRect) override;
    void restoreFromScreen(bool show) override;
    void setPointerVisible(bool visible) override;

    // Menu 130 as the player's state grays and checks it; the caller owns it. Choosing an
    // item runs its command.
    QMenu* createPopupMenu();
    // Where the frames are painted, in client coordinates.
    QRect videoRect() const;
    const QImage& frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void runCommand(int id);
    void showPopupMenu(const QPoint& globalPos);
    // The client size is set by the program only: the window has no sizing border.
    void fixClientSize(QSize size);

    QPointer<QWidget> m_ownerDialog;
    CPreviewPlayer* m_player = nullptr;
    QImage m_frame;
    // Where the video goes while stretched over the screen; unset: the whole client area.
    std::optional<QRect> m_videoPlacement;
    QRect m_savedGeometry; // client geometry before stretching over the screen
    Qt::WindowFlags m_savedFlags;
};

} // namespace parvex
