// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform's accessible interface, installed as a Qt accessibility factory.
#include "waveformaccessible.h"

#include "waveformview.h"

#include <algorithm>
#include <cmath>

namespace parvex {

WaveformAccessible::WaveformAccessible(WaveformView* view)
    : QAccessibleWidget(view, QAccessible::Slider)
{ }

WaveformView& WaveformAccessible::view() const
{
    return *static_cast<WaveformView*>(widget());
}

QString WaveformAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value || t == QAccessible::Description)
        return view().positionText();
    return QAccessibleWidget::text(t);
}

void* WaveformAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant WaveformAccessible::currentValue() const
{
    return double(view().position()) / std::max(view().sampleRate(), 1);
}

// A screen reader's "set value" seeks, as a click would.
void WaveformAccessible::setCurrentValue(const QVariant& value)
{
    const auto sample = std::llround(value.toDouble() * view().sampleRate());
    Q_EMIT view().seekRequested(std::clamp<std::int64_t>(sample, 0, view().totalSamples()));
}

QVariant WaveformAccessible::maximumValue() const
{
    return double(view().totalSamples()) / std::max(view().sampleRate(), 1);
}

QVariant WaveformAccessible::minimumValue() const
{
    return 0.0;
}

QVariant WaveformAccessible::minimumStepSize() const
{
    return 1.0;
}

void WaveformAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&WaveformAccessible::factory);
        return true;
    }();
    Q_UNUSED(installed);
}

QAccessibleInterface* WaveformAccessible::factory(const QString&, QObject* object)
{
    auto* view = qobject_cast<WaveformView*>(object);
    return view ? new WaveformAccessible(view) : nullptr;
}

} // namespace parvex
