// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform strip: the source's levels, the playing position, the marks and the silences.
#pragma once

#include "levelsummary.h"
#include "partiallevels.h"
#include "silences.h"
#include "stretchloader.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace parvex {

class MarksModel;

// Pixel column c shows the samples [c * spp, (c + 1) * spp), spp being the samples per pixel:
// columns are fixed to the timeline, so scrolling moves whole columns and a column's picture
// never changes with the scroll position (no shimmer). Each column is painted from the coarsest
// level of the summary whose blocks are no longer than spp: a line from min to max, and the RMS
// as a darker line around the middle. While the summary decodes, what has arrived is shown and the
// rest stays blank. Below one 10 ms block per column, the visible stretch of the source is decoded
// on a worker thread and its samples drawn as they arrive (the blocks until then).
class WaveformView : public QWidget
{
    Q_OBJECT
public:
    explicit WaveformView(QWidget* parent = nullptr);

    // The finished summary (null: none), replacing any blocks added so far; the zoom stays when
    // it finishes the summary being shown.
    void setLevels(std::shared_ptr<const LevelSummary> levels);
    // Blocks of a summary still decoding (LevelLoader::blocksDecoded); a chunk of another source
    // than the blocks before it starts afresh.
    void addBlocks(std::shared_ptr<const LevelBlocksChunk> chunk);
    // The MP3 the levels are of, decoded stretch by stretch at deep zoom (empty: none).
    void setSource(const QString& path);
    // The fraction of the source decoded so far, drawn as a line along the bottom until 1.
    void setProgress(double fraction);
    void setMarks(MarksModel* marks);
    // Whether the marks list's marks are drawn (and can be grabbed); they are by default.
    void setMarksVisible(bool visible);
    // Start Time and End Time (samples) drawn as a green and a red line, neither movable here.
    void setRangeMarks(std::optional<std::int64_t> start, std::optional<std::int64_t> end);
    bool marksVisible() const { return m_marksVisible; }
    std::optional<std::int64_t> rangeStart() const { return m_rangeStart; }
    void setSilences(std::vector<Silence> silences);
    const std::vector<Silence>& silences() const { return m_silences; }
    // The player's position, as last reported (drawn).
    void setPosition(std::int64_t sample);
    // Asked when a key sets a mark, so that the mark is where the player is at that moment; when
    // unset, the last setPosition.
    void setPositionSource(std::function<std::int64_t()> source);

    std::int64_t position() const { return m_position; }
    std::int64_t totalSamples() const;
    int sampleRate() const;
    int selectedMark() const { return m_selected; }
    void selectMark(int row);
    std::int64_t samplesPerPixel() const { return m_samplesPerPixel; }
    std::int64_t firstColumn() const { return m_firstColumn; }
    // The sample under pixel column `x`, and the column of a sample.
    std::int64_t sampleAt(int x) const;
    int xOf(std::int64_t sample) const;
    // Zooms in (factor < 1) or out around pixel column `x`, from one sample per pixel to the
    // whole file in the width.
    void zoom(double factor, int x);
    void scrollColumns(std::int64_t columns);
    // Gives `other` (the marks list) the waveform's keys while it has the focus; keys the waveform
    // does not take, and those of an open editor, stay with it.
    void shareKeysWith(QWidget* other);
    // The position as the accessible value gives it: "3:25.493 of 60:00.000".
    QString positionText() const;

Q_SIGNALS:
    void seekRequested(std::int64_t sample);
    void playPauseRequested();
    void startMarkRequested(std::int64_t sample); // I: Start Time (By frame)
    void endMarkRequested(std::int64_t sample); // O: End Time (By frame)
    void selectedMarkChanged(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::int64_t livePosition() const;
    std::int64_t maxSamplesPerPixel() const;
    void fitWhole();
    void clampScroll();
    int markAt(int x) const;
    bool nudgeKey(QKeyEvent* event);
    // Acts on one of the waveform's keys; false for any other.
    bool handleKey(QKeyEvent* event);
    void paintLevels(QPainter& painter);
    void paintOverlays(QPainter& painter) const;
    void positionChanged();

    std::shared_ptr<const LevelSummary> m_levels;
    std::unique_ptr<PartialLevels> m_partial; // while the summary decodes (m_levels is its summary)
    StretchLoader* m_stretch = nullptr; // a child: the samples at deep zoom
    MarksModel* m_marks = nullptr; // not owned; cleared when it is destroyed
    std::vector<Silence> m_silences;
    std::function<std::int64_t()> m_positionSource;
    std::int64_t m_position = 0;
    double m_progress = 1;
    std::int64_t m_samplesPerPixel = 1;
    std::int64_t m_firstColumn = 0;
    int m_selected = -1;
    bool m_marksVisible = true;
    std::optional<std::int64_t> m_rangeStart, m_rangeEnd;
    bool m_dragging = false;
    bool m_fitted = false; // zoomed to the whole file until the user zooms
};

} // namespace parvex
