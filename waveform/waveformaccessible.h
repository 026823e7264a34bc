// SPDX-License-Identifier: GPL-3.0-or-later
// Screen-reader view of the waveform: a slider named "Waveform" whose value is the position.
#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace parvex {

class WaveformView;

// The value interface (AT-SPI Value: the position in seconds, 0 to the length, a step of one
// second, which Left and Right take) and the description (AT-SPI Description, and Qt's Value
// text: "3:25.493 of 60:00.000") both give the position, the second to the millisecond.
class WaveformAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit WaveformAccessible(WaveformView* view);

    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    // Installs the factory that gives every WaveformView this interface (once per process).
    static void install();

private:
    WaveformView& view() const;
    static QAccessibleInterface* factory(const QString& className, QObject* object);
};

} // namespace parvex
