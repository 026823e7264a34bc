// SPDX-License-Identifier: GPL-3.0-or-later
// A pair of arrow buttons that steps the integer shown in its buddy edit box.
#pragma once

#include <QBasicTimer>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

namespace parvex {

class UpDownControl : public QWidget
{
    Q_OBJECT

public:
    explicit UpDownControl(QWidget* parent = nullptr);

    // The edit box whose text this control reads and writes ("%d", never thousands separators).
    void setBuddy(QLineEdit* buddy);
    QLineEdit* buddy() const { return m_buddy; }

    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    // The buddy's leading integer clamped to the range (the minimum when it holds none).
    int position() const;
    // Moves by `delta` steps as an arrow click or arrow key does: announces deltaPos first,
    // then writes the clamped result into the buddy.
    void step(int delta);

    QSize sizeHint() const override;

Q_SIGNALS:
    // Sent before the buddy changes: `position` is the current value, `delta` the requested
    // change; the new value will be position + delta clamped to the range.
    void deltaPos(int position, int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void stopRepeat();
    QRect upperHalf() const;

    QPointer<QLineEdit> m_buddy; // a sibling; may be destroyed first
    int m_minimum = 0;
    int m_maximum = 100;
    int m_pressedDelta = 0; // the held arrow: +1 upper, -1 lower, 0 none
    QBasicTimer m_repeat; // repeats the held arrow's step
};

} // namespace parvex
