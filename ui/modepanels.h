// SPDX-License-Identifier: GPL-3.0-or-later
// Which of the main window's controls show in each split mode.
#pragma once

#include "dialogtemplate.h"

#include <QHash>

#include <initializer_list>

class QWidget;

namespace parvex {

class MarksPanel;

// Shows the controls of the `shown` panels and hides those of every other panel, the By marks
// panel included; the common controls stay as they are. `controls` are the window's, by id.
void ShowPanels(
    const QHash<int, QWidget*>& controls, std::initializer_list<Panel> shown, MarksPanel& marks);

// The By marks mode: its panel, the output folder and the player's controls (a mark is set
// where the player is), without the range's boxes and Start.
void ShowMarksPanels(const QHash<int, QWidget*>& controls, MarksPanel& marks);

} // namespace parvex
