// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform strip's painting, zoom and scroll, mouse and keys.
#include "waveformview.h"

#include "columnlevels.h"
#include "marksmodel.h"
#include "marktime.h"
#include "waveformaccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace parvex {

namespace {
constexpr int kGrabPixels = 4; // how near a mark a press grabs it
constexpr double kFullScale = 32768.0;
} // namespace

WaveformView::WaveformView(QWidget* parent)
    : QWidget(parent)
{
    WaveformAccessible::install();
    setAccessibleName(QStringLiteral("Waveform"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumHeight(64);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void WaveformView::setLevels(std::shared_ptr<const LevelSummary> levels)
{
    m_levels = std::move(levels);
    m_fitted = true;
    fitWhole();
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
    const auto refresh = [this] {
        update();
    };
    connect(marks, &QAbstractItemModel::dataChanged, this, refresh);
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

void WaveformView::paintLevels(QPainter& painter) const
{
    if (!m_levels)
        return;
    const double middle = height() / 2.0, scale = (height() / 2.0 - 1) / kFullScale;
    const QColor peak = palette().color(QPalette::Mid), rms = palette().color(QPalette::Text);
    for (int x = 0; x < width(); ++x) {
        const auto column = ColumnLevels(*m_levels, sampleAt(x), sampleAt(x + 1));
        if (!column)
            break;
        painter.setPen(peak);
        painter.drawLine(QPointF(x + 0.5, middle - column->max * scale),
            QPointF(x + 0.5, middle - column->min * scale));
        painter.setPen(rms);
        painter.drawLine(QPointF(x + 0.5, middle - column->rms * scale),
            QPointF(x + 0.5, middle + column->rms * scale));
    }
}

void WaveformView::paintOverlays(QPainter& painter) const
{
    QColor shade = palette().color(QPalette::Highlight);
    shade.setAlpha(60);
    for (const Silence& silence : m_silences) {
        const int left = xOf(silence.start), right = xOf(silence.end);
        if (right >= 0 && left <= width())
            painter.fillRect(QRect(left, 0, std::max(right - left, 1), height()), shade);
    }
    if (const MarksModel* marks = m_marks) {
        const QColor markColour = palette().color(QPalette::Link);
        int row = 0;
        for (const Mark& mark : marks->marks()) {
            painter.setPen(QPen(markColour, row++ == m_selected ? 3 : 1));
            const int x = xOf(mark.sample);
            painter.drawLine(x, 0, x, height());
        }
    }
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
    const int x = xOf(m_position);
    painter.drawLine(x, 0, x, height());
    if (m_progress < 1) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawLine(0, height() - 1, int(width() * m_progress), height() - 1);
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

int WaveformView::markAt(int x) const
{
    const MarksModel* marks = m_marks;
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
    if (m_marks && m_selected >= 0) {
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
    case Qt::Key_M:
        if (m_marks)
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
        if (m_marks && m_selected >= 0)
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
