// SPDX-License-Identifier: GPL-3.0-or-later
// CUE sheets and chapters to and from the marks list, and the facts the list needs of its source.
#include "marksexchange.h"

#include "chapters.h"
#include "cuefilepick.h"
#include "cuereader.h"
#include "cuewriter.h"
#include "localpath.h"
#include "markpieces.h"
#include "marksfile.h"
#include "marksmodel.h"
#include "streamscan.h"

#include <QFileInfo>
#include <QSaveFile>

namespace parvex {

// The walk reads the frame headers without decoding (about 30 ms for an hour at 128 kbit/s from
// the page cache, 150 ms from disk): the level summary gives the same facts, but only from its
// cache; decoding it takes seconds.
std::optional<GaplessFacts> MeasureMarksSource(const QString& path)
{
    const IndexOutcome indexed = IndexMp3Stream(toLocalPath(path));
    if (!indexed.index)
        return std::nullopt;
    return indexed.index->gapless;
}

QString ReadCuePieces(const QString& sheetPath, const QString& sourcePath, CutAtMarks* pieces)
{
    const CueReadResult read = ReadCueSheetFile(toLocalPath(sheetPath));
    if (!read.sheet)
        return QString::fromStdString(read.error);
    std::string error;
    const CueFile* file = PickCueFile(*read.sheet, toLocalPath(sourcePath), &error);
    if (!file)
        return QString::fromStdString(error);
    *pieces = PiecesFromCue(*file, false);
    return {};
}

QString ReadChapterPieces(const QString& sourcePath, CutAtMarks* pieces)
{
    const ChapterReadResult read = ReadChapters(toLocalPath(sourcePath));
    if (!read.error.empty())
        return QString::fromStdString(read.error);
    if (read.chapters.empty())
        return QStringLiteral("This file has no ID3v2 chapters.");
    *pieces = PiecesFromChapters(read.chapters);
    return {};
}

QString ExportCueMarks(const MarksModel& marks, const QString& sheetPath, const QString& sourcePath)
{
    const std::string text = WriteCueSheet(CueFromMarks(
        marks.marks(), marks.sampleRate(), QFileInfo(sourcePath).fileName().toStdString()));
    QSaveFile file(sheetPath);
    // The sheet appears whole or not at all: a half-written one would be read as fewer tracks.
    if (!file.open(QIODevice::WriteOnly)
        || file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.commit())
        return QStringLiteral("Cannot write %1: %2").arg(sheetPath, file.errorString());
    return {};
}

QString SaveChapteredCopy(
    const std::vector<Chapter>& chapters, const QString& sourcePath, const QString& outputPath)
{
    return QString::fromStdString(
        WriteChapteredCopy(toLocalPath(sourcePath), toLocalPath(outputPath), chapters, true));
}

} // namespace parvex
