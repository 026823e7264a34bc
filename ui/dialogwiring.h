// SPDX-License-Identifier: GPL-3.0-or-later
// Which handler of the main window each of its controls calls.
#pragma once

namespace parvex {

class CSplitDialog;
class SettingsStore;

// Connects the window's buttons, mode radios, slider, count spin and exact box to its
// handlers. The exact box's choice is stored in `settings` as it changes.
void WireDialogControls(CSplitDialog& dialog, SettingsStore& settings);

} // namespace parvex
