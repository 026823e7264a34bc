// SPDX-License-Identifier: GPL-3.0-or-later
// The marks list: its rules, in-place edits and the file it is kept in.
#include "marksmodel.h"

#include "levelcache.h"
#include "markpieces.h"
#include "marksfile.h"
#include "marktime.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace parvex {

namespace {
// Bigger than any saved marks file of a real list; a larger file is not ours.
constexpr qint64 kMaxStoreBytes = 16 << 20;
} // namespace

MarksModel::MarksModel(QObject* parent)
    : QAbstractListModel(parent)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(kSaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &MarksModel::save);
}

MarksModel::~MarksModel()
{
    flush();
}

void MarksModel::setSource(int sampleRate, std::int64_t totalSamples)
{
    flush();
    beginResetModel();
    m_sampleRate = sampleRate;
    m_totalSamples = std::max<std::int64_t>(totalSamples, 0);
    m_marks.clear();
    m_storePath.clear();
    endResetModel();
}

bool MarksModel::openSource(
    const QString& sourcePath, int sampleRate, std::int64_t totalSamples, const QString& folder)
{
    setSource(sampleRate, totalSamples);
    const auto key = LevelCacheKeyOf(sourcePath.toStdString());
    if (!key || folder.isEmpty())
        return false;
    m_key = *key;
    const QString path = QDir(folder).filePath(MarksFileName(*key));
    load(path);
    m_storePath = path;
    return true;
}

void MarksModel::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxStoreBytes)
        return;
    const auto saved = ReadSavedMarks(file.read(kMaxStoreBytes));
    // Marks of another file at this inode, or of this one before it was rewritten, are stale.
    if (!saved || saved->key != m_key || saved->sampleRate != m_sampleRate
        || saved->totalSamples != m_totalSamples)
        return;
    setMarks(saved->marks);
}

void MarksModel::flush()
{
    if (m_saveTimer.isActive()) {
        m_saveTimer.stop();
        save();
    }
}

void MarksModel::save()
{
    if (m_storePath.isEmpty())
        return;
    QDir().mkpath(QFileInfo(m_storePath).absolutePath());
    QSaveFile file(m_storePath);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(WriteSavedMarks({ m_key, m_sampleRate, m_totalSamples, m_marks }));
    // A store that cannot be written costs only the marks' return on the next opening.
    file.commit();
}

void MarksModel::changed()
{
    if (!m_storePath.isEmpty())
        m_saveTimer.start();
}

std::int64_t MarksModel::clampToFile(std::int64_t sample) const
{
    return std::clamp<std::int64_t>(sample, 0, std::max<std::int64_t>(m_totalSamples - 1, 0));
}

int MarksModel::addMark(std::int64_t sample, const QString& title)
{
    if (m_totalSamples <= 0)
        return -1; // no file (or none that could be examined): nowhere to put it
    sample = clampToFile(sample);
    const auto at = std::lower_bound(m_marks.begin(), m_marks.end(), sample,
        [](const Mark& mark, std::int64_t s) { return mark.sample < s; });
    if (at != m_marks.end() && at->sample == sample)
        return -1;
    const int row = int(at - m_marks.begin());
    beginInsertRows({}, row, row);
    m_marks.insert(at, { sample, title });
    endInsertRows();
    changed();
    return row;
}

void MarksModel::removeMark(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    m_marks.erase(m_marks.begin() + row);
    endRemoveRows();
    changed();
}

std::int64_t MarksModel::moveMark(int row, std::int64_t sample)
{
    if (row < 0 || row >= rowCount())
        return -1;
    const std::int64_t low = row > 0 ? m_marks[std::size_t(row - 1)].sample + 1 : 0;
    const std::int64_t high = row + 1 < rowCount() ? m_marks[std::size_t(row + 1)].sample - 1
                                                   : clampToFile(m_totalSamples);
    sample = std::clamp(sample, low, std::max(low, high));
    if (sample != m_marks[std::size_t(row)].sample) {
        m_marks[std::size_t(row)].sample = sample;
        Q_EMIT dataChanged(index(row), index(row));
        changed();
    }
    return sample;
}

std::int64_t MarksModel::nudgeFrames(int row, int frames)
{
    if (row < 0 || row >= rowCount())
        return -1;
    return moveMark(
        row, m_marks[std::size_t(row)].sample + std::int64_t { frames } * frameSamples());
}

std::int64_t MarksModel::nudgeSeconds(int row, int seconds)
{
    if (row < 0 || row >= rowCount())
        return -1;
    return moveMark(
        row, m_marks[std::size_t(row)].sample + std::int64_t { seconds } * m_sampleRate);
}

void MarksModel::setMarks(std::vector<Mark> marks)
{
    for (Mark& mark : marks)
        mark.sample = clampToFile(mark.sample);
    std::stable_sort(marks.begin(), marks.end(),
        [](const Mark& a, const Mark& b) { return a.sample < b.sample; });
    marks.erase(std::unique(marks.begin(), marks.end(),
                    [](const Mark& a, const Mark& b) { return a.sample == b.sample; }),
        marks.end());
    beginResetModel();
    m_marks = std::move(marks);
    endResetModel();
    changed();
}

void MarksModel::importPieces(const CutAtMarks& pieces)
{
    setMarks(MarksFromPieces(pieces, m_sampleRate));
}

CutAtMarks MarksModel::cutAtMarks() const
{
    // Without a source there is no rate to give the points in: no piece.
    if (m_sampleRate <= 0)
        return {};
    return PiecesFromMarks(m_marks, m_sampleRate);
}

int MarksModel::nearestRow(std::int64_t sample) const
{
    int best = -1;
    for (int row = 0; row < rowCount(); ++row) {
        if (best < 0
            || std::abs(m_marks[std::size_t(row)].sample - sample)
                < std::abs(m_marks[std::size_t(best)].sample - sample))
            best = row;
    }
    return best;
}

int MarksModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_marks.size());
}

QString MarksModel::rowText(const Mark& mark) const
{
    return FormatMarkTime(mark.sample, m_sampleRate) + QLatin1String(", ") + mark.title;
}

QVariant MarksModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Mark& mark = m_marks[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        return rowText(mark);
    case SampleRole:
        return qint64(mark.sample);
    case TitleRole:
        return mark.title;
    case TimeTextRole:
        return FormatMarkTime(mark.sample, m_sampleRate);
    default:
        return {};
    }
}

// "3:25.493, Title" (or the time alone): the time moves the mark unless it is the one shown,
// which would otherwise round it to the millisecond.
bool MarksModel::editRow(int row, const QString& text)
{
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    const auto ms = ParseMarkTime(comma >= 0 ? text.left(comma) : text);
    if (!ms)
        return false;
    Mark& mark = m_marks[std::size_t(row)];
    mark.title = comma >= 0 ? text.mid(comma + 1).trimmed() : QString();
    if (*ms != MarkMilliseconds(mark.sample, m_sampleRate))
        moveMark(row, PointSample({ *ms, 1000 }, m_sampleRate));
    Q_EMIT dataChanged(index(row), index(row));
    changed();
    return true;
}

bool MarksModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= rowCount())
        return false;
    const int row = index.row();
    switch (role) {
    case Qt::EditRole:
        return editRow(row, value.toString());
    case TitleRole:
        m_marks[std::size_t(row)].title = value.toString();
        Q_EMIT dataChanged(index, index);
        changed();
        return true;
    case SampleRole:
        moveMark(row, value.toLongLong());
        return true;
    case TimeTextRole:
        return editRow(
            row, value.toString() + QLatin1String(", ") + m_marks[std::size_t(row)].title);
    default:
        return false;
    }
}

Qt::ItemFlags MarksModel::flags(const QModelIndex& index) const
{
    return QAbstractListModel::flags(index)
        | (index.isValid() ? Qt::ItemIsEditable : Qt::NoItemFlags);
}

} // namespace parvex
