// SPDX-License-Identifier: GPL-3.0-or-later
// Where the window menu opens: a right-click on the window's background, and the Menu key or
// Shift+F10 wherever the focus is.
#pragma once

#include <functional>

class QContextMenuEvent;
class QKeyEvent;
class QMenu;
class QPoint;
class QWidget;

namespace parvex {

class WindowMenu
{
public:
    // Makes a new menu each time it opens; the caller of the factory owns it.
    using Factory = std::function<QMenu*()>;

    // `window` must outlive this object.
    WindowMenu(QWidget& window, Factory create);

    // A context menu event that reached the window. From the keyboard it opens the menu by the
    // focused control, unless that control showed a menu of its own (an edit box does) and so
    // kept the event; from the mouse only on the background, a click on a control being the
    // control's own business (the event is then ignored).
    void contextMenu(QContextMenuEvent* event);
    // Opens the menu for Shift+F10 (the Menu key arrives as a context menu event); true when the
    // key was that.
    bool keyPress(const QKeyEvent* event);

private:
    void showAtFocus();
    void showAt(const QPoint& globalPos);

    QWidget& m_window;
    Factory m_create;
};

} // namespace parvex
