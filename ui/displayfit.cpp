// SPDX-License-Identifier: GPL-3.0-or-later
// Sizes the display labels for their longest texts at the dialog's font.
#include "displayfit.h"

#include "templatebuilder.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace parvex {

namespace {
// The template's margin to the right of the title line, in dialog units.
constexpr int RightMarginDu = 7;

int widthOf(const QWidget& widget, const char* text)
{
    return QFontMetrics(widget.font()).horizontalAdvance(QString::fromLatin1(text));
}

void widenTo(QWidget& widget, int width)
{
    widget.resize(std::max(widget.width(), width), widget.height());
}
} // namespace

void FitDisplays(const Displays& displays, const QWidget& dialog)
{
    const int margin = TemplateBuilder::toPixels(dialog.font(), RightMarginDu, 0, 0, 0).x();
    const int right = dialog.width() - margin;
    widenTo(displays.titleLine, right - displays.titleLine.x());
    widenTo(displays.eachSize, right - displays.eachSize.x());

    QWidget& display = displays.position;
    QWidget& slider = displays.positionSlider;
    const int needed = widthOf(display, DisplayTexts::LongestPosition);
    if (display.x() + needed > right) {
        const int gap = display.x() - (slider.x() + slider.width());
        display.move(right - needed, display.y());
        slider.resize(display.x() - gap - slider.x(), slider.height());
    }
    widenTo(display, needed);
}

} // namespace parvex
