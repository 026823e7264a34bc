// SPDX-License-Identifier: GPL-3.0-or-later
// What the window asks of and tells the user; a scripted double stands in for it in tests.
#pragma once

#include <QString>

namespace parvex {

class Prompter
{
public:
    virtual ~Prompter() = default;

    // Input checks: owned by the window, caption "Error", OK, no icon.
    virtual void error(const QString& text) = 0;
    // File failures and refused number boxes: owned by the window, caption = the application's
    // display name, warning icon, OK.
    virtual void frameworkMessage(const QString& text) = 0;
    // A box without owner, with its own caption and OK, no icon ("Message"; "PARVEX", the
    // program's name, shows as the display name).
    virtual void message(const QString& caption, const QString& text) = 0;
    // A box without owner, warning icon, Yes and No; true only for Yes.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
};

} // namespace parvex
