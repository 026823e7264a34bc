// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform's overlays, each a shaded span or a vertical line.
#include "overlaypainter.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace parvex {

void PaintOverlays(QPainter& painter, const QPalette& palette, QSize size,
    const std::function<int(std::int64_t sample)>& xOf, const WaveformOverlays& overlays)
{
    const int height = size.height();
    QColor shade = palette.color(QPalette::Highlight);
    shade.setAlpha(60);
    for (const Silence& silence :
        overlays.silences ? *overlays.silences : std::vector<Silence> {}) {
        const int left = xOf(silence.start), right = xOf(silence.end);
        if (right >= 0 && left <= size.width())
            painter.fillRect(QRect(left, 0, std::max(right - left, 1), height), shade);
    }
    const auto line = [&](std::int64_t sample, const QPen& pen) {
        painter.setPen(pen);
        painter.drawLine(xOf(sample), 0, xOf(sample), height);
    };
    if (overlays.marks) {
        int row = 0;
        for (const Mark& mark : *overlays.marks)
            line(mark.sample,
                QPen(palette.color(QPalette::Link), row++ == overlays.selected ? 3 : 1));
    }
    if (overlays.rangeStart)
        line(*overlays.rangeStart, QPen(QColor(Qt::darkGreen), 2));
    if (overlays.rangeEnd)
        line(*overlays.rangeEnd, QPen(QColor(Qt::red), 2));
    line(overlays.position, QPen(palette.color(QPalette::Highlight), 1));
    if (overlays.progress < 1) {
        painter.setPen(QPen(palette.color(QPalette::Highlight), 2));
        painter.drawLine(0, height - 1, int(size.width() * overlays.progress), height - 1);
    }
    if (overlays.focus) {
        painter.setPen(QPen(palette.color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(QRect(QPoint(0, 0), size).adjusted(0, 0, -1, -1));
    }
}

} // namespace parvex
