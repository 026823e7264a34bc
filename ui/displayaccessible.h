// SPDX-License-Identifier: GPL-3.0-or-later
// Screen-reader view of a display label: a read-only line named by what it shows, its text as text.
#pragma once

#include <QAccessibleTextInterface>
#include <QAccessibleWidget>

class QLabel;

namespace parvex {

// QLabel's own interface reports the text as the name, or hides it when the label has an
// accessible name of its own; a display needs both. Screen readers read a label by its name
// alone, so a display is a read-only text: its accessible name says what it is ("Position
// time"), and its text interface (AT-SPI Text) gives what it shows ("00:01:05").
class DisplayAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit DisplayAccessible(QLabel* label);

    using QAccessibleWidget::text;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // The text interface of a single line without caret or selection.
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override { }
    void removeSelection(int) override { }
    void setSelection(int, int, int) override { }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override { }
    void scrollToSubstring(int, int) override { }
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // Marks `label` as a display, then makes sure the factory that gives it this interface is
    // installed (once per process).
    static void markAsDisplay(QLabel* label);

private:
    const QLabel& label() const;
    // Where the text is painted, in the label's coordinates.
    QRect lineRect() const;

    static QAccessibleInterface* factory(const QString& className, QObject* object);
};

} // namespace parvex
