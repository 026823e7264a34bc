// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform strip's painting, zoom and scroll, mouse and keys.
#include "waveformview.h"

#include "columnpainter.h"
#include "marksmodel.h"
#include "marktime.h"
#include "overlaypainter.h"
#include "waveformaccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace parvex {

namespace {
constexpr int kGrabPixels = 4; // how near a mark a press grabs it
} // namespace

WaveformView::WaveformView(QWidget* parent)
    : QWidget(parent)
    , m_stretch(new StretchLoader(this))
{
    connect(m_stretch, &StretchLoader::columnsReady, this, qOverload<>(&QWidget::update));
    WaveformAccessible::install();
    setAccessibleName(QStringLiteral("Waveform"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumHeight(64);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void WaveformView::setLevels(std::shared_ptr<const LevelSummary> levels)
{
    const bool finishing = m_partial && levels && levels->totalSamples == totalSamples();
    m_partial.reset();
    m_levels = std::move(levels);
    m_fitted = m_fitted || !finishing;
    m_fitted ? fitWhole() : update();
}

void WaveformView::addBlocks(std::shared_ptr<const LevelBlocksChunk> chunk)
{
    if (!chunk || (m_partial && m_partial->add(*chunk)))
        return update();
    m_partial = std::make_unique<PartialLevels>(*chunk);
    m_partial->add(*chunk);
    m_levels = m_partial->summary();
    m_fitted = true;
    fitWhole();
}

void WaveformView::setSource(const QString& path)
{
    m_stretch->setSource(path);
    update();
}

void WaveformView::setProgress(double fraction)
{
    m_progress = std::clamp(fraction, 0.0, 1.0);
    update();
}

void WaveformView::setMarks(MarksModel* marks)
{
    if (m_marks)
        disconnect(m_marks, nullptr, this, nullptr);
    m_marks = marks;
    m_selected = -1;
    if (!marks)
        return;
    connect(marks, &QObject::destroyed, this, [this] { m_marks = nullptr; });
    connect(marks, &QAbstractItemModel::dataChanged, this, qOverload<>(&QWidget::update));
    connect(marks, &QAbstractItemModel::modelReset, this, [this] { selectMark(-1); });
    connect(marks, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first) {
        if (m_selected >= first)
            selectMark(m_selected + 1);
        update();
    });
    connect(marks, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex&, int first) {
        if (m_selected > first)
            selectMark(m_selected - 1);
        else if (m_selected == first)
            selectMark(std::min(first, m_marks->rowCount() - 1));
        update();
    });
    update();
}

void WaveformView::setMarksVisible(bool visible)
{
    m_marksVisible = visible;
    update();
}

void WaveformView::setRangeMarks(std::optional<std::int64_t> start, std::optional<std::int64_t> end)
{
    std::tie(m_rangeStart, m_rangeEnd) = std::tie(start, end);
    update();
}

void WaveformView::setSilences(std::vector<Silence> silences)
{
    m_silences = std::move(silences);
    update();
}

void WaveformView::setPosition(std::int64_t sample)
{
    const int rate = std::max(sampleRate(), 1);
    const bool newSecond = sample / rate != m_position / rate;
    m_position = sample;
    update();
    if (newSecond)
        positionChanged();
}

void WaveformView::positionChanged()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent event(this, double(m_position) / std::max(sampleRate(), 1));
    QAccessible::updateAccessibility(&event);
}

void WaveformView::setPositionSource(std::function<std::int64_t()> source)
{
    m_positionSource = std::move(source);
}

std::int64_t WaveformView::livePosition() const
{
    return m_positionSource ? m_positionSource() : m_position;
}

std::int64_t WaveformView::totalSamples() const
{
    if (m_levels)
        return m_levels->totalSamples;
    if (const MarksModel* marks = m_marks)
        return marks->totalSamples();
    return 0;
}

int WaveformView::sampleRate() const
{
    if (m_levels)
        return m_levels->sampleRate;
    if (const MarksModel* marks = m_marks)
        return marks->sampleRate();
    return 0;
}

void WaveformView::selectMark(int row)
{
    if (row == m_selected)
        return;
    m_selected = row;
    update();
    Q_EMIT selectedMarkChanged(row);
}

QString WaveformView::positionText() const
{
    return FormatMarkTime(m_position, sampleRate()) + QLatin1String(" of ")
        + FormatMarkTime(totalSamples(), sampleRate());
}

std::int64_t WaveformView::sampleAt(int x) const
{
    return (m_firstColumn + x) * m_samplesPerPixel;
}

int WaveformView::xOf(std::int64_t sample) const
{
    return int(std::clamp<std::int64_t>(
        sample / m_samplesPerPixel - m_firstColumn, -1, std::int64_t { width() } + 1));
}

std::int64_t WaveformView::maxSamplesPerPixel() const
{
    const std::int64_t columns = std::max(width(), 1);
    return std::max<std::int64_t>((totalSamples() + columns - 1) / columns, 1);
}

void WaveformView::fitWhole()
{
    m_samplesPerPixel = maxSamplesPerPixel();
    m_firstColumn = 0;
    update();
}

void WaveformView::clampScroll()
{
    const std::int64_t columns = (totalSamples() + m_samplesPerPixel - 1) / m_samplesPerPixel;
    m_firstColumn
        = std::clamp<std::int64_t>(m_firstColumn, 0, std::max<std::int64_t>(columns - width(), 0));
}

void WaveformView::zoom(double factor, int x)
{
    const std::int64_t anchor = sampleAt(x);
    m_samplesPerPixel = std::clamp<std::int64_t>(
        std::llround(double(m_samplesPerPixel) * factor), 1, maxSamplesPerPixel());
    m_fitted = m_samplesPerPixel == maxSamplesPerPixel();
    m_firstColumn = anchor / m_samplesPerPixel - x;
    clampScroll();
    update();
}

void WaveformView::scrollColumns(std::int64_t columns)
{
    m_firstColumn += columns;
    clampScroll();
    update();
}

void WaveformView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_fitted)
        fitWhole();
    else
        clampScroll();
}

void WaveformView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintLevels(painter);
    paintOverlays(painter);
}

// Asks for the samples of what is shown at deep zoom whenever it is painted: the loader does
// nothing while the columns it has or decodes cover it.
void WaveformView::paintLevels(QPainter& painter)
{
    if (!m_levels)
        return;
    const std::int64_t spp = m_samplesPerPixel;
    const bool deep = spp < m_levels->blockSamples;
    if (deep)
        m_stretch->request(spp, m_firstColumn,
            std::min(m_firstColumn + width(), (totalSamples() + spp - 1) / spp));
    const auto samples = deep ? m_stretch->columns() : nullptr;
    ColumnPainter(painter, { spp, m_firstColumn, width(), height() },
        { palette().color(QPalette::Mid), palette().color(QPalette::Text) })
        .paint(*m_levels, m_partial ? m_partial->decoded() : DecodedStretches {}, samples.get());
}

void WaveformView::paintOverlays(QPainter& painter) const
{
    const MarksModel* marks = m_marksVisible ? m_marks : nullptr;
    PaintOverlays(painter, palette(), size(), [this](std::int64_t sample) { return xOf(sample); },
        { &m_silences, marks ? &marks->marks() : nullptr, m_selected, m_rangeStart, m_rangeEnd,
            m_position, m_progress, hasFocus() });
}

int WaveformView::markAt(int x) const
{
    const MarksModel* marks = m_marksVisible ? m_marks : nullptr;
    const int row = marks ? marks->nearestRow(sampleAt(x)) : -1;
    if (row < 0)
        return -1;
    const std::int64_t sample = marks->marks().at(std::size_t(row)).sample;
    return std::abs(xOf(sample) - x) <= kGrabPixels ? row : -1;
}

void WaveformView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const int x = int(event->position().x());
    if (const int row = markAt(x); row >= 0) {
        selectMark(row);
        m_dragging = true;
        return;
    }
    Q_EMIT seekRequested(std::clamp<std::int64_t>(sampleAt(x), 0, totalSamples()));
}

void WaveformView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && m_marks)
        m_marks->moveMark(m_selected, sampleAt(int(event->position().x())));
}

void WaveformView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging && event->button() == Qt::LeftButton)
        m_dragging = false;
}

void WaveformView::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0)
        return event->ignore();
    if (event->modifiers() & Qt::ControlModifier)
        zoom(std::pow(0.5, steps), int(event->position().x()));
    else
        scrollColumns(-std::int64_t { steps } * std::max(width() / 8, 1));
}

// , and . (< and > with Shift on most layouts) move the selected mark by a frame or a second.
bool WaveformView::nudgeKey(QKeyEvent* event)
{
    const int key = event->key();
    const int direction = key == Qt::Key_Comma || key == Qt::Key_Less ? -1
        : key == Qt::Key_Period || key == Qt::Key_Greater             ? 1
                                                                      : 0;
    if (direction == 0)
        return false;
    if (m_marks && m_marksVisible && m_selected >= 0) {
        if (event->modifiers() & Qt::ShiftModifier || key == Qt::Key_Less || key == Qt::Key_Greater)
            m_marks->nudgeSeconds(m_selected, direction);
        else
            m_marks->nudgeFrames(m_selected, direction);
    }
    return true;
}

bool WaveformView::handleKey(QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (nudgeKey(event))
        return true;
    const std::int64_t total = totalSamples();
    const int pointer = underMouse() ? mapFromGlobal(QCursor::pos()).x() : width() / 2;
    switch (event->key()) {
    case Qt::Key_Space:
        Q_EMIT playPauseRequested();
        break;
    case Qt::Key_I:
        Q_EMIT startMarkRequested(livePosition());
        break;
    case Qt::Key_O:
        Q_EMIT endMarkRequested(livePosition());
        break;
    case Qt::Key_M: // the marks' keys act only where the marks are drawn
        if (m_marks && m_marksVisible)
            if (const int row = m_marks->addMark(livePosition()); row >= 0)
                selectMark(row);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const std::int64_t step = event->key() == Qt::Key_Left ? -sampleRate() : sampleRate();
        Q_EMIT seekRequested(std::clamp<std::int64_t>(livePosition() + step, 0, total));
        break;
    }
    case Qt::Key_Home:
        Q_EMIT seekRequested(0);
        break;
    case Qt::Key_End:
        Q_EMIT seekRequested(total);
        break;
    case Qt::Key_Delete:
        if (m_marks && m_marksVisible && m_selected >= 0)
            m_marks->removeMark(m_selected);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoom(0.5, pointer);
        break;
    case Qt::Key_Minus:
        zoom(2, pointer);
        break;
    default:
        return false;
    }
    return true;
}

void WaveformView::keyPressEvent(QKeyEvent* event)
{
    if (!handleKey(event))
        QWidget::keyPressEvent(event);
}

void WaveformView::shareKeysWith(QWidget* other)
{
    other->installEventFilter(this);
}

bool WaveformView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != this && event->type() == QEvent::KeyPress)
        return handleKey(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

} // namespace parvex
