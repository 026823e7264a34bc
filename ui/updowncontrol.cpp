// SPDX-License-Identifier: GPL-3.0-or-later
// Up-down arrows: paint, mouse and arrow-key stepping of the buddy's integer.
#include "updowncontrol.h"

#include "leadinginteger.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

#include <algorithm>
#include <optional>

namespace parvex {

namespace {
// Holding an arrow repeats its step after this delay, then at this interval (milliseconds).
constexpr int RepeatDelayMs = 400;
constexpr int RepeatIntervalMs = 60;
} // namespace

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void UpDownControl::setBuddy(QLineEdit* buddy)
{
    if (m_buddy)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    if (m_buddy)
        m_buddy->installEventFilter(this);
}

void UpDownControl::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

int UpDownControl::position() const
{
    const int low = std::min(m_minimum, m_maximum);
    const int high = std::max(m_minimum, m_maximum);
    const std::optional<std::int32_t> value
        = m_buddy ? ParseLeadingInteger(m_buddy->text().toStdString()) : std::nullopt;
    return std::clamp(value.value_or(m_minimum), low, high);
}

void UpDownControl::step(int delta)
{
    const int current = position();
    Q_EMIT deltaPos(current, delta);
    const long long wanted = static_cast<long long>(current) + delta;
    const long long low = std::min(m_minimum, m_maximum);
    const long long high = std::max(m_minimum, m_maximum);
    const int next = static_cast<int>(std::clamp(wanted, low, high));
    if (m_buddy)
        m_buddy->setText(QString::number(next)); // plain digits, never a thousands separator
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event)
{
    // The type is tested first: while the buddy is being destroyed, comparing it with the
    // QPointer would downcast an object that is no longer a QLineEdit.
    if (event->type() == QEvent::KeyPress && watched == m_buddy && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QSize UpDownControl::sizeHint() const
{
    return { style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this), 22 };
}

void UpDownControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect halves[] = { upperHalf(), rect().adjusted(0, upperHalf().height(), 0, 0) };
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = halves[i];
        const int delta = i == 0 ? 1 : -1;
        option.state |= (m_pressedDelta == delta) ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &option, &painter, this);
        option.rect = halves[i].adjusted(2, 1, -2, -1);
        style()->drawPrimitive(
            delta > 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &option,
            &painter, this);
    }
}

void UpDownControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressedDelta = upperHalf().contains(event->position().toPoint()) ? 1 : -1;
    update();
    step(m_pressedDelta);
    m_repeat.start(RepeatDelayMs, this);
}

void UpDownControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        stopRepeat();
    QWidget::mouseReleaseEvent(event);
}

void UpDownControl::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_repeat.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_repeat.start(RepeatIntervalMs, this);
    if (m_pressedDelta != 0)
        step(m_pressedDelta);
}

void UpDownControl::hideEvent(QHideEvent* event)
{
    stopRepeat();
    QWidget::hideEvent(event);
}

void UpDownControl::stopRepeat()
{
    m_repeat.stop();
    m_pressedDelta = 0;
    update();
}

QRect UpDownControl::upperHalf() const
{
    return { 0, 0, width(), height() / 2 };
}

} // namespace parvex
