// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's accessible interface, installed as a Qt accessibility factory.
#include "windowaccessible.h"

#include <QWidget>

namespace parvex {

namespace {
constexpr char WindowProperty[] = "parvexAccessibleWindow";
} // namespace

WindowAccessible::WindowAccessible(QWidget* window)
    : QAccessibleWidget(window, QAccessible::Dialog)
{ }

// x and y in screen coordinates. The answer is a direct child, as the interface's children are;
// that child answers for what lies inside it (a list's rows).
QAccessibleInterface* WindowAccessible::childAt(int x, int y) const
{
    const QWidget* window = widget();
    QWidget* hit = window->childAt(window->mapFromGlobal(QPoint(x, y)));
    while (hit && hit->parentWidget() != window)
        hit = hit->parentWidget();
    return hit ? QAccessible::queryAccessibleInterface(hit) : nullptr;
}

void WindowAccessible::markAsWindow(QWidget* window)
{
    static const bool installed = [] {
        QAccessible::installFactory(&WindowAccessible::factory);
        return true;
    }();
    Q_UNUSED(installed);
    window->setProperty(WindowProperty, true);
}

QAccessibleInterface* WindowAccessible::factory(const QString&, QObject* object)
{
    auto* window = qobject_cast<QWidget*>(object);
    if (window && window->isWindow() && window->property(WindowProperty).toBool())
        return new WindowAccessible(window);
    return nullptr;
}

} // namespace parvex
