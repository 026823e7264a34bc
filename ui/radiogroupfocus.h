// SPDX-License-Identifier: GPL-3.0-or-later
// The mode radios as one Tab stop, as a radio group is on every desktop.
#pragma once

#include <QList>

class QRadioButton;
class QWidget;

namespace parvex {

// Puts the auto-exclusive `radios` into the Tab chain right after `before` and keeps the checked
// one as the group's only Tab stop: Tab enters the group at the checked radio and leaves it with
// the next Tab; the arrow keys move within it (and check, as Qt does for exclusive radios).
// A radio that is not checked still takes the focus from the mouse.
void MakeRadioGroupOneTabStop(const QList<QRadioButton*>& radios, QWidget* before);

} // namespace parvex
