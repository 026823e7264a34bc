// SPDX-License-Identifier: GPL-3.0-or-later
// Screen-reader view of the main window: what lies under a point is the control painted there.
#pragma once

#include <QAccessibleWidget>

namespace parvex {

// Qt answers "what is at this point" with the first child whose rectangle holds it, in the order
// the children were made. The template makes the Split mode group box before its radios, which
// are its siblings inside its frame, so a screen reader's mouse review found the box over every
// mode. This interface answers with the control painted at the point, as a click would reach it.
class WindowAccessible : public QAccessibleWidget
{
public:
    explicit WindowAccessible(QWidget* window);

    QAccessibleInterface* childAt(int x, int y) const override;

    // Gives `window` this interface (the factory is installed once per process).
    static void markAsWindow(QWidget* window);

private:
    static QAccessibleInterface* factory(const QString& className, QObject* object);
};

} // namespace parvex
