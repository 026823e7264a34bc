// SPDX-License-Identifier: GPL-3.0-or-later
// The slider-held flag follows the left button; the release is announced after the slider's own
// handling, so the thumb has reached its last place by then.
#include "cpositionslider.h"

#include <QMouseEvent>

namespace parvex {

CPositionSlider::CPositionSlider(bool* held, QWidget* parent)
    : QSlider(parent)
    , m_held(held)
{ }

TemplateBuilder::Factory CPositionSlider::templateFactory(bool* held)
{
    return [held](const ControlTemplate& control, QWidget* dialog) -> QWidget* {
        return control.kind == ControlKind::Trackbar ? new CPositionSlider(held, dialog) : nullptr;
    };
}

void CPositionSlider::mousePressEvent(QMouseEvent* event)
{
    const bool left = event->button() == Qt::LeftButton;
    if (left && m_held)
        *m_held = true;
    QSlider::mousePressEvent(event);
    if (!left)
        return;
    // Keep the press even where the slider ignores it (another button held too), so that the
    // release that clears the flag comes here.
    event->accept();
    update();
}

void CPositionSlider::mouseReleaseEvent(QMouseEvent* event)
{
    const bool left = event->button() == Qt::LeftButton;
    if (left && m_held)
        *m_held = false;
    QSlider::mouseReleaseEvent(event);
    if (!left)
        return;
    update();
    Q_EMIT releasedCapture();
}

} // namespace parvex
