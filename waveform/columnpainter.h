// SPDX-License-Identifier: GPL-3.0-or-later
// Paints the waveform's pixel columns: from the level summary, or from decoded samples at deep
// zoom.
#pragma once

#include "levelsummary.h"
#include "stretchloader.h"

#include <QColor>

#include <cstdint>
#include <utility>
#include <vector>

class QPainter;

namespace parvex {

// The samples [begin, end) of a summary that have arrived, sorted; empty for a finished summary.
using DecodedStretches = std::vector<std::pair<std::int64_t, std::int64_t>>;

// Pixel column x shows the samples [(firstColumn + x) * samplesPerPixel, ... + samplesPerPixel).
class ColumnPainter
{
public:
    struct Geometry
    {
        std::int64_t samplesPerPixel = 1, firstColumn = 0;
        int width = 0, height = 0;
    };
    struct Colours
    {
        QColor peak, rms;
    };

    ColumnPainter(QPainter& painter, const Geometry& geometry, const Colours& colours);

    // Each column from `samples` where it holds the column at this zoom; elsewhere from the
    // coarsest level of `levels` with enough detail, in the decoded stretches only (columns
    // outside them stay blank).
    void paint(
        const LevelSummary& levels, const DecodedStretches& decoded, const StretchColumns* samples);

private:
    void paintLevels(int x, const LevelBlock& column);
    // A column of samples, joined to the column before it (when it had samples) so that the
    // trace has no gaps; at one sample per pixel a line from sample to sample.
    void paintSamples(int x, const SampleColumn& column, const SampleColumn* before, int channels);
    double yOf(int value) const;

    QPainter& m_painter;
    Geometry m_geometry;
    Colours m_colours;
};

} // namespace parvex
