// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform strip of the main window: where it sits, what feeds it and what its keys do.
#pragma once

#include "levelloader.h"
#include "silences.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QAbstractItemView;
class QLineEdit;
class QWidget;

namespace parvex {

class MarksModel;
class PreviewSession;
class WaveformView;

// The strip goes under the position slider: the controls below it move down by its height and
// the window grows by as much, so that the design's controls keep their places relative to each
// other. Its levels are decoded off the GUI thread while a source is open. Media times are in
// 100-ns units, as the player's.
class WaveformStrip : public QObject
{
    Q_OBJECT
public:
    // I and O: Start Time and End Time (By frame) at this many whole seconds.
    struct RangeHooks
    {
        std::function<void(std::int64_t seconds)> startTime;
        std::function<void(std::int64_t seconds)> endTime;
    };

    // Makes the strip on `window` (template built, the slider in `controls`), adds it to
    // `controls` as ControlId::Waveform, draws `marks`' marks and plays, seeks and takes the
    // position through `preview`. All borrowed.
    WaveformStrip(QWidget& window, QHash<int, QWidget*>& controls, MarksModel& marks,
        PreviewSession& preview, RangeHooks hooks);

    WaveformView& view() const { return *m_view; }
    void showSilences(std::vector<Silence> silences);
    // The open source's whole level summary; null while it is being decoded.
    std::shared_ptr<const LevelSummary> levels() const { return m_levels; }
    // Starts decoding the levels of `path`; an empty path (no source) clears the strip.
    void open(const QString& path);
    // The player's last polled position.
    void setPosition(std::int64_t mediaTime);

private:
    void insertBelow(QWidget& window, const QWidget& slider);
    void followSelection(QAbstractItemView& list);
    void showModeMarks(const QHash<int, QWidget*>& controls);
    void refreshModeMarks();
    std::optional<std::int64_t> rangeSample(std::size_t first) const;
    std::int64_t toSample(std::int64_t mediaTime) const;
    std::int64_t toMediaTime(std::int64_t sample) const;

    void seek(std::int64_t sample);
    void playPause();

    PreviewSession& m_preview;
    RangeHooks m_hooks;
    WaveformView* m_view = nullptr;
    LevelLoader m_loader;
    std::shared_ptr<const LevelSummary> m_levels;
    // The mode radios and the six Start/End Time boxes; the radios null when the window lacks
    // any of them.
    const QAbstractButton* m_byFrame = nullptr;
    const QAbstractButton* m_byMarks = nullptr;
    std::array<const QLineEdit*, 6> m_range {};
};

} // namespace parvex
