// SPDX-License-Identifier: GPL-3.0-or-later
// Template 102: the main window's controls in template (creation and tab) order.
#include "controlids.h"
#include "resources.h"

#include <array>

namespace parvex {

namespace {
using enum ControlKind;
using enum Panel;
namespace Id = ControlId;

constexpr unsigned NumberBox = StyleCentered | StyleTabStop;

// x, y, width, height in dialog units.
constexpr std::array<ControlTemplate, 44> Controls { {
    { Id::SplitCount, Edit, "", 65, 80, 40, 14, NumberBox, BySize },
    { Id::SplitCountSpin, UpDown, "", 105, 80, 11, 14, StyleNone, BySize },
    { Id::SourceTitle, Static, "", 70, 8, 200, 11, StyleNone, Common },
    { Id::OpenMp3, PushButton, "&Open MP3", 7, 7, 50, 14, StyleTabStop, Common },
    { Id::StartHours, Edit, "", 60, 111, 18, 14, NumberBox, ByRange },
    { Id::StartMinutes, Edit, "", 92, 111, 18, 14, NumberBox, ByRange },
    { Id::StartSeconds, Edit, "", 123, 111, 18, 14, NumberBox, ByRange },
    { 1038, Static, ":", 84, 113, 8, 8, StyleNone, ByRange },
    { 1039, Static, ":", 116, 114, 8, 8, StyleNone, ByRange },
    { Id::EndHours, Edit, "", 60, 134, 18, 14, NumberBox, ByRange },
    { Id::EndMinutes, Edit, "", 92, 134, 18, 14, NumberBox, ByRange },
    { Id::EndSeconds, Edit, "", 124, 134, 18, 14, NumberBox, ByRange },
    { 1040, Static, ":", 84, 137, 8, 8, StyleNone, ByRange },
    { 1041, Static, ":", 116, 137, 8, 8, StyleNone, ByRange },
    { Id::StartRange, PushButton, "&Start", 7, 183, 50, 14, StyleTabStop, ByRange },
    { Id::OutputFile, Edit, "", 59, 160, 173, 14, StyleTabStop, ByRange },
    { 1037, Static, "O&utput File", 7, 163, 40, 8, StyleNone, ByRange },
    { Id::Play, PushButton, "&Play", 13, 89, 42, 14, StyleTabStop, ByRange },
    { Id::PositionSlider, Trackbar, "", 7, 65, 229, 14, StyleTabStop, ByRange },
    { Id::Pause, PushButton, "P&ause", 101, 89, 42, 14, StyleTabStop, ByRange },
    { Id::Stop, PushButton, "S&top", 189, 89, 42, 14, StyleTabStop, ByRange },
    { Id::PositionDisplay, Static, "", 237, 68, 30, 8, StyleNone, ByRange },
    { Id::StartTime, PushButton, "Sta&rt Time", 7, 111, 42, 14, StyleTabStop, ByRange },
    { Id::EndTime, PushButton, "&End Time", 7, 134, 42, 14, StyleTabStop, ByRange },
    { 1042, Static, "Split file &number", 7, 84, 54, 8, StyleNone, BySize },
    { Id::StartBySize, PushButton, "&Start", 7, 182, 50, 14, StyleTabStop, BySize },
    { 1043, Static, "each size", 140, 83, 46, 8, StyleNone, BySize },
    { Id::EachSize, Static, "", 187, 83, 44, 14, StyleNone, BySize },
    { Id::OutputFolder, Edit, "", 64, 134, 169, 13, StyleTabStop, OutputFolder },
    { Id::BrowseFolder, PushButton, "&Browse", 235, 133, 34, 14, StyleTabStop, OutputFolder },
    { 1044, Static, "Split file ti&me", 7, 82, 54, 8, StyleNone, ByTime },
    { Id::SplitSeconds, Edit, "", 64, 80, 45, 15, NumberBox, ByTime },
    { Id::SplitSecondsSpin, UpDown, "", 110, 80, 11, 14, StyleNoThousands, ByTime },
    { 1046, Static, "Seconds", 120, 82, 35, 8, StyleNone, ByTime },
    { Id::StartByTime, PushButton, "&Start", 7, 183, 50, 14, StyleTabStop, ByTime },
    // The group that the three radios share starts here.
    { 1045, Static, "Output &directory", 7, 136, 51, 8, StyleGroup, OutputFolder },
    { Id::ByFrame, RadioButton, "By &frame", 24, 40, 43, 10, StyleNone, Common },
    { Id::BySize, RadioButton, "By si&ze", 108, 39, 38, 10, StyleNone, Common },
    { Id::ByTime, RadioButton, "By t&ime", 187, 39, 39, 10, StyleNone, Common },
    { -1, GroupBox, "Split mode", 7, 29, 263, 27, StyleNone, Common },
    { Id::ExactCut, CheckBox, "E&xact cut (gapless)", 61, 185, 86, 10, StyleTabStop, Common },
    { Id::Homepage, PushButton, "Homepa&ge", 150, 183, 50, 14, StyleTabStop, Common },
    { Id::Help, PushButton, "&Help", 220, 183, 50, 14, StyleTabStop, Common },
    { Id::BrowseFile, PushButton, "&Browse", 236, 160, 34, 14, StyleTabStop, ByRange },
} };

// Buttons, radios and the check box are named by their captions, without the mnemonic's "&".
constexpr std::array<ControlName, 16> Names { {
    { Id::SourceTitle, "Source file" },
    { Id::StartHours, "Start Time hours" },
    { Id::StartMinutes, "Start Time minutes" },
    { Id::StartSeconds, "Start Time seconds" },
    { Id::EndHours, "End Time hours" },
    { Id::EndMinutes, "End Time minutes" },
    { Id::EndSeconds, "End Time seconds" },
    { Id::OutputFile, "Output File" },
    { Id::PositionSlider, "Position" },
    { Id::PositionDisplay, "Position time" },
    { Id::SplitCount, "Split file number" },
    { Id::SplitCountSpin, "Split file number arrows" },
    { Id::EachSize, "each size" },
    { Id::OutputFolder, "Output directory" },
    { Id::SplitSeconds, "Split file time in seconds" },
    { Id::SplitSecondsSpin, "Split file time arrows" },
} };

constexpr std::array<LabelBuddy, 4> Buddies { {
    { 1037, Id::OutputFile },
    { 1042, Id::SplitCount },
    { 1044, Id::SplitSeconds },
    { 1045, Id::OutputFolder },
} };

constexpr DialogTemplate Template { 102, "Parvex", 277, 213, Controls, Names, Buddies };
} // namespace

const DialogTemplate& Resources::mainDialog()
{
    return Template;
}

} // namespace parvex
