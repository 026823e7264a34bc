// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls, by id and, for those its code works with, by what they are.
#pragma once

#include <QHash>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace parvex {

class CPositionSlider;
class UpDownControl;

struct DialogControls
{
    // Binds the typed pointers to the controls of `byId` (children of the window).
    static DialogControls bind(QHash<int, QWidget*> byId);

    QLineEdit* edit(int id) const;
    QRadioButton* radio(int id) const;

    QHash<int, QWidget*> all; // every control, by id (see ControlId)
    UpDownControl* secondsSpin = nullptr;
    QLineEdit* secondsBox = nullptr;
    QLineEdit* outputFolderBox = nullptr;
    QCheckBox* exactCutBox = nullptr; // checked: the three Start buttons cut exactly
    UpDownControl* splitCountSpin = nullptr;
    QLabel* eachSizeDisplay = nullptr;
    QLabel* positionDisplay = nullptr;
    CPositionSlider* positionSlider = nullptr;
};

} // namespace parvex
