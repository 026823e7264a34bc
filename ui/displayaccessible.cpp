// The accessible interface of display labels, installed as a Qt accessibility factory.
#include "displayaccessible.h"

#include <QLabel>

namespace {
constexpr char DisplayProperty[] = "parvexDisplay";
} // namespace

DisplayAccessible::DisplayAccessible(QLabel* label)
    : QAccessibleWidget(label, QAccessible::StaticText)
{ }

QString DisplayAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Value)
        return static_cast<const QLabel*>(widget())->text();
    return QAccessibleWidget::text(kind);
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
