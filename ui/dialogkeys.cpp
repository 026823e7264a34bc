// SPDX-License-Identifier: GPL-3.0-or-later
// Sorts the keys that reach the main window.
#include "dialogkeys.h"

#include <QKeyEvent>

namespace parvex {

DialogKey ClassifyDialogKey(const QKeyEvent& event)
{
    const bool plain = event.modifiers() == Qt::NoModifier
        || (event.modifiers() == Qt::KeypadModifier && event.key() == Qt::Key_Enter);
    if (plain && (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter))
        return DialogKey::Enter;
    if (plain && event.key() == Qt::Key_F1)
        return DialogKey::ContextHelp;
    return DialogKey::Other;
}

} // namespace parvex
