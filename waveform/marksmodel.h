// SPDX-License-Identifier: GPL-3.0-or-later
// The marks of the open file: the list the window shows and edits, the waveform draws and drags,
// and the planners cut at.
#pragma once

#include "cutrequest.h"
#include "levelcachefile.h"
#include "mark.h"

#include <QAbstractListModel>
#include <QTimer>

#include <vector>

namespace parvex {

// Marks are sorted, distinct and within [0, totalSamples - 1]; inserts and moves are clamped so
// that a mark never passes its neighbours or the file's ends. Each row reads "3:25.493, Title"
// (display, accessible text and edit text); editing it in place moves the mark and retitles it.
// With a store file, every change is written there (atomically, coalesced over kSaveDelayMs).
class MarksModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { SampleRole = Qt::UserRole, TitleRole, TimeTextRole };
    static constexpr int kSaveDelayMs = 200;

    explicit MarksModel(QObject* parent = nullptr);
    ~MarksModel() override;

    // Forgets the marks and the store; the file opened has this rate and gapless length. An MPEG
    // frame is 1152 samples at 32 kHz and up, else 576.
    void setSource(int sampleRate, std::int64_t totalSamples);
    // setSource, then the marks kept for `sourcePath` in `folder` (MarksFolder() in the window)
    // when the file is the one they were set on; later changes are kept there. False when the
    // file cannot be examined (the marks are then not kept).
    bool openSource(const QString& sourcePath, int sampleRate, std::int64_t totalSamples,
        const QString& folder);
    QString storePath() const { return m_storePath; }
    // Writes a pending change now (the window calls it when the file closes).
    void flush();

    int sampleRate() const { return m_sampleRate; }
    std::int64_t totalSamples() const { return m_totalSamples; }
    int frameSamples() const { return m_sampleRate >= 32000 ? 1152 : 576; }
    const std::vector<Mark>& marks() const { return m_marks; }

    // The row of a new mark at `sample` (clamped to the file); -1 when a mark is already there or
    // there is no file.
    int addMark(std::int64_t sample, const QString& title = {});
    void removeMark(int row);
    // Moves the mark to `sample` clamped strictly between its neighbours; returns where it went.
    std::int64_t moveMark(int row, std::int64_t sample);
    // By `frames` MPEG frames or `seconds` seconds (negative: earlier), clamped as moveMark.
    std::int64_t nudgeFrames(int row, int frames);
    std::int64_t nudgeSeconds(int row, int seconds);
    // Replaces every mark (sorted, repeats and those outside the file dropped).
    void setMarks(std::vector<Mark> marks);
    void importPieces(const CutAtMarks& pieces);
    // One exact piece per span, as `parvex-cli split --at` with the same points; none without a
    // source.
    CutAtMarks cutAtMarks() const;
    // The row whose mark is nearest `sample`, -1 when there are none.
    int nearestRow(std::int64_t sample) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::int64_t clampToFile(std::int64_t sample) const;
    QString rowText(const Mark& mark) const;
    bool editRow(int row, const QString& text);
    void changed();
    void save();
    void load(const QString& path);

    int m_sampleRate = 0;
    std::int64_t m_totalSamples = 0;
    std::vector<Mark> m_marks;
    QString m_storePath; // empty: the marks are not kept
    LevelCacheKey m_key; // of the source, when m_storePath is set
    QTimer m_saveTimer;
};

} // namespace parvex
