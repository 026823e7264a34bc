// SPDX-License-Identifier: GPL-3.0-or-later
// Places the waveform under the slider, feeds it the levels and the position, and runs its keys.
#include "waveformstrip.h"

#include "controlids.h"
#include "marksmodel.h"
#include "previewsession.h"
#include "templatebuilder.h"
#include "waveformview.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>

namespace parvex {

namespace {
constexpr int StripHeight = 40; // dialog units
constexpr int StripGap = 3; // dialog units between the slider and the strip
constexpr std::int64_t MediaTimePerSecond = 10'000'000;
} // namespace

WaveformStrip::WaveformStrip(QWidget& window, QHash<int, QWidget*>& controls, MarksModel& marks,
    PreviewSession& preview, RangeHooks hooks)
    : QObject(&window)
    , m_preview(preview)
    , m_hooks(std::move(hooks))
    , m_view(new WaveformView(&window))
{
    m_view->setObjectName(QString::number(ControlId::Waveform));
    controls.insert(ControlId::Waveform, m_view);
    m_view->setMarks(&marks);
    // The rate comes with the marks' source when the levels have not come yet.
    connect(&marks, &QAbstractItemModel::modelReset, this, &WaveformStrip::refreshModeMarks);
    // Its keys work from the marks list too (M, the nudges, Delete).
    if (auto* list = qobject_cast<QAbstractItemView*>(controls.value(ControlId::MarksList))) {
        m_view->shareKeysWith(list);
        followSelection(*list);
    }
    if (const QWidget* slider = controls.value(ControlId::PositionSlider))
        insertBelow(window, *slider);
    m_view->setPositionSource([this] {
        const auto time = m_preview.pollNow();
        return time ? toSample(*time) : m_view->position();
    });
    connect(
        &m_loader, &LevelLoader::loaded, this, [this](std::shared_ptr<const LevelSummary> levels) {
            m_levels = levels;
            m_view->setLevels(std::move(levels));
            m_view->setProgress(1);
            refreshModeMarks(); // the range is in seconds: samples need the rate
        });
    // A file that cannot be decoded keeps a blank strip: the player says why it cannot play.
    connect(&m_loader, &LevelLoader::failed, m_view, [this] { m_view->setProgress(1); });
    connect(&m_loader, &LevelLoader::progress, m_view, &WaveformView::setProgress);
    connect(&m_loader, &LevelLoader::blocksDecoded, m_view, &WaveformView::addBlocks);
    showModeMarks(controls);
    connect(m_view, &WaveformView::seekRequested, this, &WaveformStrip::seek);
    connect(m_view, &WaveformView::playPauseRequested, this, &WaveformStrip::playPause);
    const auto seconds = [this](std::int64_t sample) {
        return m_view->sampleRate() > 0 ? sample / m_view->sampleRate() : 0;
    };
    connect(m_view, &WaveformView::startMarkRequested, this,
        [this, seconds](std::int64_t sample) { m_hooks.startTime(seconds(sample)); });
    connect(m_view, &WaveformView::endMarkRequested, this,
        [this, seconds](std::int64_t sample) { m_hooks.endTime(seconds(sample)); });
}

// One selected mark, whichever of the two shows it: the keys of either act on it.
void WaveformStrip::followSelection(QAbstractItemView& list)
{
    connect(list.selectionModel(), &QItemSelectionModel::currentChanged, m_view,
        [this](const QModelIndex& current) { m_view->selectMark(current.row()); });
    connect(m_view, &WaveformView::selectedMarkChanged, &list,
        [&list](int row) { list.setCurrentIndex(list.model()->index(row, 0)); });
}

// The strip draws the marks of the mode shown: Start Time and End Time in By frame, the list in
// By marks, none in the modes whose cuts are not marks.
void WaveformStrip::showModeMarks(const QHash<int, QWidget*>& controls)
{
    m_byFrame = qobject_cast<QAbstractButton*>(controls.value(ControlId::ByFrame));
    m_byMarks = qobject_cast<QAbstractButton*>(controls.value(ControlId::ByMarks));
    const int ids[] { ControlId::StartHours, ControlId::StartMinutes, ControlId::StartSeconds,
        ControlId::EndHours, ControlId::EndMinutes, ControlId::EndSeconds };
    for (std::size_t i = 0; i < m_range.size(); ++i)
        m_range[i] = qobject_cast<QLineEdit*>(controls.value(ids[i]));
    if (!m_byFrame || !m_byMarks
        || std::find(m_range.begin(), m_range.end(), nullptr) != m_range.end()) {
        m_byFrame = m_byMarks = nullptr;
        return;
    }
    for (const QLineEdit* edit : m_range)
        connect(edit, &QLineEdit::textChanged, this, &WaveformStrip::refreshModeMarks);
    connect(m_byFrame, &QAbstractButton::toggled, this, &WaveformStrip::refreshModeMarks);
    connect(m_byMarks, &QAbstractButton::toggled, this, &WaveformStrip::refreshModeMarks);
    refreshModeMarks();
}

void WaveformStrip::refreshModeMarks()
{
    if (!m_byFrame)
        return;
    m_view->setMarksVisible(m_byMarks->isChecked());
    m_view->setRangeMarks(rangeSample(0), rangeSample(3));
}

// Start Time (first = 0) or End Time (3) as a sample, while By frame shows them and the three
// boxes hold numbers.
std::optional<std::int64_t> WaveformStrip::rangeSample(std::size_t first) const
{
    if (!m_byFrame->isChecked())
        return std::nullopt;
    std::int64_t seconds = 0;
    for (std::size_t i = first; i < first + 3; ++i) {
        bool number = false;
        seconds = seconds * 60 + m_range[i]->text().toLongLong(&number);
        if (!number)
            return std::nullopt;
    }
    return seconds * m_view->sampleRate();
}

void WaveformStrip::insertBelow(QWidget& window, const QWidget& slider)
{
    const QRect strip = TemplateBuilder::toPixels(window.font(), 0, StripGap, 0, StripHeight);
    const int top = slider.geometry().bottom() + 1 + strip.y();
    // A gap above and below: some modes' rows lie just under the slider.
    const int shift = 2 * strip.y() + strip.height();
    for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != m_view && child->y() > slider.geometry().bottom())
            child->move(child->x(), child->y() + shift);
    }
    m_view->setGeometry(slider.x(), top, window.width() - 2 * slider.x(), strip.height());
    window.setFixedSize(window.width(), window.height() + shift);
}

void WaveformStrip::seek(std::int64_t sample)
{
    if (CPreviewPlayer* player = m_preview.player()) {
        player->SeekTo(toMediaTime(sample));
        player->PollPosition(); // the slider, the display and the strip follow at once
    }
}

void WaveformStrip::playPause()
{
    const CPreviewPlayer* player = m_preview.player();
    if (player && player->m_State == PlayState::Running)
        m_preview.pause();
    else
        m_preview.play();
}

void WaveformStrip::open(const QString& path)
{
    m_loader.cancel();
    m_levels.reset();
    m_view->setLevels({});
    m_view->setSilences({});
    m_view->setProgress(path.isEmpty() ? 1 : 0);
    m_view->setSource(path);
    m_view->setPosition(0);
    if (!path.isEmpty())
        m_loader.start(path);
}

void WaveformStrip::showSilences(std::vector<Silence> silences)
{
    m_view->setSilences(std::move(silences));
}

void WaveformStrip::setPosition(std::int64_t mediaTime)
{
    m_view->setPosition(toSample(mediaTime));
}

std::int64_t WaveformStrip::toSample(std::int64_t mediaTime) const
{
    return (mediaTime * m_view->sampleRate() + MediaTimePerSecond / 2) / MediaTimePerSecond;
}

std::int64_t WaveformStrip::toMediaTime(std::int64_t sample) const
{
    const int rate = m_view->sampleRate();
    return rate > 0 ? sample * MediaTimePerSecond / rate : 0;
}

} // namespace parvex
