// SPDX-License-Identifier: GPL-3.0-or-later
// One vertical line per pixel column: the peak and RMS of the summary, or the decoded samples.
#include "columnpainter.h"

#include "columnlevels.h"

#include <QPainter>

#include <algorithm>

namespace parvex {

namespace {

constexpr double kFullScale = 32768.0;

// The column's levels over the decoded parts of [begin, end).
std::optional<LevelBlock> decodedColumn(const LevelSummary& levels, const DecodedStretches& decoded,
    std::int64_t begin, std::int64_t end)
{
    if (decoded.empty())
        return ColumnLevels(levels, begin, end);
    std::optional<LevelBlock> column;
    for (const auto& [from, to] : decoded) {
        const auto part = ColumnLevels(levels, std::max(begin, from), std::min(end, to));
        if (!part)
            continue;
        if (!column)
            column = part;
        column->min = std::min(column->min, part->min);
        column->max = std::max(column->max, part->max);
        column->rms = std::max(column->rms, part->rms);
    }
    return column;
}

} // namespace

ColumnPainter::ColumnPainter(QPainter& painter, const Geometry& geometry, const Colours& colours)
    : m_painter(painter)
    , m_geometry(geometry)
    , m_colours(colours)
{ }

double ColumnPainter::yOf(int value) const
{
    const double middle = m_geometry.height / 2.0;
    return middle - value * (middle - 1) / kFullScale;
}

void ColumnPainter::paint(
    const LevelSummary& levels, const DecodedStretches& decoded, const StretchColumns* samples)
{
    const std::int64_t spp = m_geometry.samplesPerPixel;
    const SampleColumn* before = nullptr;
    for (int x = 0; x < m_geometry.width; ++x) {
        const std::int64_t c = m_geometry.firstColumn + x;
        if (const SampleColumn* column = samples ? samples->at(spp, c) : nullptr) {
            paintSamples(x, *column, before, samples->channels);
            before = column;
            continue;
        }
        before = nullptr;
        if (const auto column = decodedColumn(levels, decoded, c * spp, (c + 1) * spp))
            paintLevels(x, *column);
    }
}

void ColumnPainter::paintLevels(int x, const LevelBlock& column)
{
    m_painter.setPen(m_colours.peak);
    m_painter.drawLine(QPointF(x + 0.5, yOf(column.max)), QPointF(x + 0.5, yOf(column.min)));
    m_painter.setPen(m_colours.rms);
    m_painter.drawLine(QPointF(x + 0.5, yOf(column.rms)), QPointF(x + 0.5, yOf(-column.rms)));
}

void ColumnPainter::paintSamples(
    int x, const SampleColumn& column, const SampleColumn* before, int channels)
{
    m_painter.setPen(m_colours.rms);
    for (std::size_t ch = 0; ch < std::size_t(std::clamp(channels, 1, 2)); ++ch) {
        int low = column.min[ch], high = column.max[ch];
        if (m_geometry.samplesPerPixel == 1 && before) {
            m_painter.drawLine(
                QPointF(x - 0.5, yOf(before->max[ch])), QPointF(x + 0.5, yOf(column.max[ch])));
            continue;
        }
        if (before) {
            low = std::min(low, int(before->max[ch]));
            high = std::max(high, int(before->min[ch]));
        }
        m_painter.drawLine(QPointF(x + 0.5, yOf(high)), QPointF(x + 0.5, yOf(low)));
    }
}

} // namespace parvex
