// SPDX-License-Identifier: GPL-3.0-or-later
// The accessible interface of display labels, installed as a Qt accessibility factory.
#include "displayaccessible.h"

#include <QLabel>

namespace parvex {

namespace {
constexpr char DisplayProperty[] = "parvexDisplay";
} // namespace

DisplayAccessible::DisplayAccessible(QLabel* label)
    : QAccessibleWidget(label, QAccessible::EditableText)
{ }

const QLabel& DisplayAccessible::label() const
{
    return *static_cast<const QLabel*>(widget());
}

QAccessible::State DisplayAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    return state;
}

void* DisplayAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString DisplayAccessible::text(int startOffset, int endOffset) const
{
    return label().text().mid(startOffset, endOffset - startOffset);
}

int DisplayAccessible::characterCount() const
{
    return int(label().text().size());
}

QRect DisplayAccessible::lineRect() const
{
    return label().fontMetrics().boundingRect(
        label().contentsRect(), int(label().alignment()), label().text());
}

// In screen coordinates, as the whole text would be painted, clipped to the label: an elided
// title's hidden middle has no place on the screen (an empty rectangle).
QRect DisplayAccessible::characterRect(int offset) const
{
    const QString text = label().text();
    if (offset < 0 || offset >= text.size())
        return {};
    const QFontMetrics metrics = label().fontMetrics();
    const QRect line = lineRect();
    const QRect character(line.left() + metrics.horizontalAdvance(text.left(offset)), line.top(),
        metrics.horizontalAdvance(text.at(offset)), line.height());
    const QRect shown = character.intersected(label().contentsRect());
    return shown.isEmpty() ? QRect() : QRect(label().mapToGlobal(shown.topLeft()), shown.size());
}

int DisplayAccessible::offsetAtPoint(const QPoint& point) const
{
    for (int offset = 0; offset < characterCount(); ++offset) {
        if (characterRect(offset).contains(point))
            return offset;
    }
    return -1;
}

void DisplayAccessible::selection(int, int* startOffset, int* endOffset) const
{
    *startOffset = 0;
    *endOffset = 0;
}

QString DisplayAccessible::attributes(int, int* startOffset, int* endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void DisplayAccessible::markAsDisplay(QLabel* label)
{
    static const bool installed = [] {
        QAccessible::installFactory(&DisplayAccessible::factory);
        return true;
    }();
    Q_UNUSED(installed);
    label->setProperty(DisplayProperty, true);
}

QAccessibleInterface* DisplayAccessible::factory(const QString&, QObject* object)
{
    auto* label = qobject_cast<QLabel*>(object);
    if (!label || !label->property(DisplayProperty).toBool())
        return nullptr;
    return new DisplayAccessible(label);
}

} // namespace parvex
