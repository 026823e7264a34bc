// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the mode panels of the main window's template.
#include "modepanels.h"

#include "resources.h"

#include <QWidget>

#include <algorithm>

namespace parvex {

void ShowPanels(const QHash<int, QWidget*>& controls, std::initializer_list<Panel> shown)
{
    for (const ControlTemplate& item : Resources::mainDialog().controls) {
        QWidget* widget = controls.value(item.id);
        if (widget && item.panel != Panel::Common)
            widget->setVisible(std::ranges::find(shown, item.panel) != shown.end());
    }
}

} // namespace parvex
