// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the mode panels of the main window's template and the By marks panel.
#include "modepanels.h"

#include "controlids.h"
#include "markspanel.h"
#include "resources.h"

#include <QWidget>

#include <algorithm>

namespace parvex {

namespace {
void showTemplatePanels(const QHash<int, QWidget*>& controls, std::initializer_list<Panel> shown)
{
    for (const ControlTemplate& item : Resources::mainDialog().controls) {
        QWidget* widget = controls.value(item.id);
        if (widget && item.panel != Panel::Common)
            widget->setVisible(std::ranges::find(shown, item.panel) != shown.end());
    }
}
} // namespace

void ShowPanels(
    const QHash<int, QWidget*>& controls, std::initializer_list<Panel> shown, MarksPanel& marks)
{
    marks.setShown(false);
    showTemplatePanels(controls, shown);
}

void ShowMarksPanels(const QHash<int, QWidget*>& controls, MarksPanel& marks)
{
    showTemplatePanels(controls, { Panel::OutputFolder });
    namespace Id = ControlId;
    for (const int id : { Id::PositionSlider, Id::PositionDisplay, Id::Play, Id::Pause, Id::Stop })
        if (QWidget* widget = controls.value(id))
            widget->setVisible(true);
    marks.setShown(true);
}

} // namespace parvex
