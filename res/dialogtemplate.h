// SPDX-License-Identifier: GPL-3.0-or-later
// Dialog templates as data: every control with its id, kind, caption and place in dialog units.
#pragma once

#include <span>
#include <string_view>

namespace parvex {

enum class ControlKind {
    Edit,
    UpDown, // adjusts the integer in the control just before it in the template (its buddy)
    Static, // text label
    StaticIcon, // the application icon
    PushButton,
    RadioButton,
    CheckBox,
    GroupBox,
    Trackbar,
};

// Which mode panel a control of the main dialog belongs to; Common controls are never hidden.
enum class Panel {
    Common,
    ByRange,
    BySize,
    ByTime,
    OutputFolder, // shown with BySize and ByTime
};

// Style bits that matter off Windows; the rest of the original styles is implied by the kind.
enum ControlStyle : unsigned {
    StyleNone = 0,
    StyleTabStop = 1u << 0,
    StyleCentered = 1u << 1, // edit text centred
    StyleNoThousands = 1u << 2, // up-down writes its buddy without thousands separators
    StyleGroup = 1u << 3,
    StyleDefaultButton = 1u << 4,
};

struct ControlTemplate
{
    int id = -1; // -1: no id (not reachable by id)
    ControlKind kind = ControlKind::Static;
    std::string_view caption;
    int x = 0, y = 0, width = 0, height = 0; // dialog units
    unsigned style = StyleNone;
    Panel panel = Panel::Common;
};

// The accessible name of a control that has no caption of its own to give it one: each box and
// display is named after the label beside it.
struct ControlName
{
    int id = -1;
    std::string_view name;
};

// A label whose mnemonic gives the focus to the control it names.
struct LabelBuddy
{
    int label = -1;
    int buddy = -1;
};

struct DialogTemplate
{
    int id = 0;
    std::string_view caption;
    int width = 0, height = 0; // dialog units
    std::span<const ControlTemplate> controls; // template order = creation and tab order
    std::span<const ControlName> names;
    std::span<const LabelBuddy> buddies;
};

} // namespace parvex
