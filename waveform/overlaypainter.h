// SPDX-License-Identifier: GPL-3.0-or-later
// Paints what the waveform shows over the levels: silences, marks, Start and End, the playing
// position, the decode's progress and the focus.
#pragma once

#include "mark.h"
#include "silences.h"

#include <QSize>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QPainter;
class QPalette;

namespace parvex {

struct WaveformOverlays
{
    const std::vector<Silence>* silences = nullptr;
    const std::vector<Mark>* marks = nullptr; // null when they are hidden
    int selected = -1; // the row of `marks` drawn thicker
    std::optional<std::int64_t> rangeStart, rangeEnd; // green and red
    std::int64_t position = 0;
    double progress = 1; // a line along the bottom while below 1
    bool focus = false;
};

// `xOf` gives the pixel column of a sample (-1 or width + 1 when outside the view).
void PaintOverlays(QPainter& painter, const QPalette& palette, QSize size,
    const std::function<int(std::int64_t sample)>& xOf, const WaveformOverlays& overlays);

} // namespace parvex
