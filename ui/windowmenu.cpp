// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the window menu from the mouse and from the keyboard.
#include "windowmenu.h"

#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>

#include <memory>
#include <utility>

namespace parvex {

WindowMenu::WindowMenu(QWidget& window, Factory create)
    : m_window(window)
    , m_create(std::move(create))
{ }

void WindowMenu::contextMenu(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        showAtFocus();
        return;
    }
    QWidget* child = m_window.childAt(event->pos());
    if (child && !qobject_cast<QGroupBox*>(child)) {
        event->ignore();
        return;
    }
    showAt(event->globalPos());
}

bool WindowMenu::keyPress(const QKeyEvent* event)
{
    if (event->modifiers() != Qt::ShiftModifier || event->key() != Qt::Key_F10)
        return false;
    showAtFocus();
    return true;
}

void WindowMenu::showAtFocus()
{
    const QWidget* anchor = m_window.focusWidget() ? m_window.focusWidget() : &m_window;
    showAt(anchor->mapToGlobal(anchor->rect().center()));
}

void WindowMenu::showAt(const QPoint& globalPos)
{
    const std::unique_ptr<QMenu> menu(m_create());
    menu->exec(globalPos);
}

} // namespace parvex
