// SPDX-License-Identifier: GPL-3.0-or-later
// The position slider of the "By frame" panel: reports while the left button holds it.
#pragma once

#include "templatebuilder.h"

#include <QSlider>

namespace parvex {

// Sets the application's slider-held flag while the left button is down on it, so that the
// position refresh leaves the thumb and the display alone during a drag.
class CPositionSlider : public QSlider
{
    Q_OBJECT

public:
    // `held` (borrowed, may be null) is the application's slider-held flag.
    explicit CPositionSlider(bool* held, QWidget* parent = nullptr);

    // For TemplateBuilder::build: a CPositionSlider for the trackbar, the default for the rest.
    static TemplateBuilder::Factory templateFactory(bool* held);

Q_SIGNALS:
    // The left button was released after a press on the slider, on the thumb or on the
    // groove, wherever the pointer is then; the flag is already clear. Keyboard moves do not
    // emit it.
    void releasedCapture();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool* m_held = nullptr;
};

} // namespace parvex
