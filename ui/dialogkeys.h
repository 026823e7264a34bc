// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window does with a key that no control took.
#pragma once

class QKeyEvent;

namespace parvex {

enum class DialogKey {
    Enter, // Return, or the keypad's Enter, without other modifiers
    ContextHelp, // F1 alone; the window has no context help
    Other,
};

DialogKey ClassifyDialogKey(const QKeyEvent& event);

} // namespace parvex
