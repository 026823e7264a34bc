// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the main window's slider and displays for the template builder.
#include "dialogcontrolfactory.h"

#include "controlids.h"
#include "cpositionslider.h"
#include "displayaccessible.h"
#include "elidinglabel.h"

#include <QLabel>

namespace parvex {

TemplateBuilder::Factory DialogControlFactory(bool* sliderHeld)
{
    return [slider = CPositionSlider::templateFactory(sliderHeld)](
               const ControlTemplate& item, QWidget* owner) -> QWidget* {
        QLabel* display = nullptr;
        if (item.id == ControlId::SourceTitle)
            display = new ElidingLabel(owner);
        else if (item.id == ControlId::PositionDisplay || item.id == ControlId::EachSize)
            display = new QLabel(owner);
        else
            return slider(item, owner);
        // Before the builder names it: Qt keeps the first interface it makes for a widget.
        DisplayAccessible::markAsDisplay(display);
        return display;
    };
}

} // namespace parvex
