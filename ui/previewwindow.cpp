// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window: placement, frames, full screen, pointer and the popup menu 130.
#include "previewwindow.h"

#include "cpreviewplayer.h"
#include "previewmenu.h"
#include "previewplacement.h"
#include "textview.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace parvex {

namespace {
// A title bar with close and minimise boxes and no sizing border.
constexpr Qt::WindowFlags WindowedFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
    | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
constexpr Qt::WindowFlags StretchedFlags
    = Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;

} // namespace

PreviewWindow::PreviewWindow(QWidget* ownerDialog)
    : QWidget(nullptr, WindowedFlags)
    , m_ownerDialog(ownerDialog)
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // moves without a button wake the pointer in full screen
    setFocusPolicy(Qt::StrongFocus);
}

PreviewWindow::~PreviewWindow() = default;

std::function<std::unique_ptr<PreviewWindow>(QWidget*)> PreviewWindow::factory()
{
    return [](QWidget* ownerDialog) {
        return std::make_unique<PreviewWindow>(ownerDialog);
    };
}

void PreviewWindow::create()
{
    setWindowTitle(QStringLiteral("Video Window"));
    const QScreen* screen
        = m_ownerDialog ? m_ownerDialog->screen() : QGuiApplication::primaryScreen();
    const QRect dialogFrame = m_ownerDialog ? m_ownerDialog->frameGeometry() : QRect();
    const QRect first = InitialPreviewRect(screen->availableGeometry(), dialogFrame);
    move(first.topLeft());
    // A dialog near the top of the screen leaves no room: the window is then tiny until the
    // video gives it its size.
    fixClientSize(first.size().expandedTo(QSize(1, 1)));
}

void PreviewWindow::destroy()
{
    m_player = nullptr;
    QWidget::setVisible(false);
    m_frame = QImage();
}

void PreviewWindow::setVisible(bool visible)
{
    QWidget::setVisible(visible);
}

void PreviewWindow::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void PreviewWindow::presentFrame(const QImage& frame)
{
    m_frame = frame;
    update();
}

bool PreviewWindow::setClientSize(QSize clientSize)
{
    if (clientSize.isEmpty())
        return false;
    fixClientSize(clientSize);
    raise();
    update();
    return true;
}

QSize PreviewWindow::screenSize() const
{
    const QScreen* on = screen() ? screen() : QGuiApplication::primaryScreen();
    return on->geometry().size();
}

void PreviewWindow::stretchOverScreen()
{
    m_savedGeometry = geometry();
    m_savedFlags = windowFlags();
    m_videoPlacement.reset();
    const QRect whole = screen()->geometry();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setWindowFlags(StretchedFlags); // hides the window until shown again
    setGeometry(whole);
    QWidget::setVisible(true);
    raise();
}

void PreviewWindow::placeVideo(const QRect& videoRect)
{
    m_videoPlacement = videoRect;
    update();
}

void PreviewWindow::restoreFromScreen(bool show)
{
    m_videoPlacement.reset();
    setWindowFlags(m_savedFlags);
    fixClientSize(m_savedGeometry.size());
    setGeometry(m_savedGeometry);
    QWidget::setVisible(show);
    if (m_ownerDialog)
        m_ownerDialog->raise();
    // The shown window ends on top and active, so that a second Escape reaches it and not the
    // dialog, which Escape would end.
    if (show) {
        raise();
        activateWindow();
    }
}

void PreviewWindow::setPointerVisible(bool visible)
{
    if (visible)
        unsetCursor();
    else
        setCursor(Qt::BlankCursor);
}

void PreviewWindow::fixClientSize(QSize size)
{
    setMinimumSize(size);
    setMaximumSize(size);
    resize(size);
}

QRect PreviewWindow::videoRect() const
{
    return m_videoPlacement.value_or(rect());
}

void PreviewWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_frame.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(videoRect(), m_frame);
    }
}

// The close box (and Alt+F4, and "Close") only ask the dialog to play: the window stays.
void PreviewWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (m_player)
        m_player->viewCloseRequested();
}

void PreviewWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat() && m_player)
        m_player->viewEscapePressed();
}

void PreviewWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_player)
        m_player->viewMouseActivity();
    QWidget::mouseMoveEvent(event);
}

void PreviewWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_player)
        m_player->viewMouseActivity();
    if (event->button() == Qt::RightButton)
        showPopupMenu(event->globalPosition().toPoint());
}

// --- Popup menu 130 ------------------------------------------------------------------------

QMenu* PreviewWindow::createPopupMenu()
{
    auto* menu = new QMenu(fromTextView(PreviewMenu::Title), this);
    const PreviewMenuState state = m_player ? m_player->menuState() : PreviewMenuState {};
    for (const PreviewMenu::Item& item : PreviewMenu::items()) {
        if (item.id == PreviewMenu::Separator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(fromTextView(item.text));
        action->setData(item.id);
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        if (id == PreviewMenu::FullScreen) {
            action->setCheckable(true);
            action->setChecked(state.fullScreenChecked);
        }
        if (id == PreviewMenu::Play)
            action->setEnabled(state.playEnabled);
        else if (id == PreviewMenu::Pause)
            action->setEnabled(state.pauseEnabled);
        else if (id == PreviewMenu::Stop)
            action->setEnabled(state.stopEnabled);
    }
    return menu;
}

void PreviewWindow::showPopupMenu(const QPoint& globalPos)
{
    QMenu* menu = createPopupMenu();
    // A new menu for each click, gone when it closes, like a menu loaded and destroyed.
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void PreviewWindow::runCommand(int id)
{
    if (!m_player)
        return;
    switch (id) {
    case PreviewMenu::FullScreen:
        m_player->SwitchFullScreen();
        break;
    case PreviewMenu::NormalSize:
        m_player->InitVideoWindow(1, 1);
        break;
    case PreviewMenu::Play:
        m_player->Play();
        break;
    case PreviewMenu::Pause:
        m_player->Pause();
        break;
    case PreviewMenu::Stop:
        m_player->Stop();
        break;
    case PreviewMenu::Close:
        close();
        break;
    default:
        break;
    }
}

} // namespace parvex
