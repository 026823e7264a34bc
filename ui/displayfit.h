// SPDX-License-Identifier: GPL-3.0-or-later
// Room for the texts that change: the title line, the position display, the each-size display.
#pragma once

class QWidget;

namespace parvex {

// The longest texts a display must show whole: up to 999 hours, and a part's size in KB of a
// source that long.
namespace DisplayTexts {
inline constexpr char LongestPosition[] = "999:59:59";
inline constexpr char LongestEachSize[] = "999999999KB";
} // namespace DisplayTexts

struct Displays
{
    QWidget& titleLine;
    QWidget& eachSize;
    QWidget& position;
    QWidget& positionSlider; // gives up room on its right when the position display needs it
};

// Widens the title line and the each-size display to the dialog's right margin, and the
// position display to its longest text at its font; when that would cross the margin, the
// display moves left and the slider shrinks. The controls are placed and `dialog` has its final
// size.
void FitDisplays(const Displays& displays, const QWidget& dialog);

} // namespace parvex
