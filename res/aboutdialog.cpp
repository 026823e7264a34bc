// SPDX-License-Identifier: GPL-3.0-or-later
// Template 100: the about box.
#include "controlids.h"
#include "resources.h"

#include <array>

namespace parvex {

namespace {
using enum ControlKind;

// x, y, width, height in dialog units.
constexpr std::array<ControlTemplate, 3> Controls { {
    { -1, StaticIcon, "", 11, 17, 20, 20, StyleNone, Panel::Common },
    { -1, Static, "Parvex Version 3.1", 40, 10, 136, 8, StyleGroup, Panel::Common },
    { ControlId::AboutOk, PushButton, "OK", 178, 7, 50, 14,
        StyleDefaultButton | StyleGroup | StyleTabStop, Panel::Common },
} };

constexpr DialogTemplate Template { 100, "About Parvex", 235, 55, Controls, {}, {} };
} // namespace

const DialogTemplate& Resources::aboutDialog()
{
    return Template;
}

} // namespace parvex
