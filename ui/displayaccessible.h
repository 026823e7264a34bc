// Screen-reader view of a display label: named after the label beside it, its text as the value.
#pragma once

#include <QAccessibleWidget>

class QLabel;

// QLabel's own interface reports the text as the name, or hides it when the label has an
// accessible name of its own; a display needs both.
class DisplayAccessible : public QAccessibleWidget
{
public:
    explicit DisplayAccessible(QLabel* label);
    QString text(QAccessible::Text kind) const override;

    // Marks `label` as a display, then makes sure the factory that gives it this interface is
    // installed (once per process).
    static void markAsDisplay(QLabel* label);

private:
    static QAccessibleInterface* factory(const QString& className, QObject* object);
};
