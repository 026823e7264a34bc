// SPDX-License-Identifier: GPL-3.0-or-later
// The By marks panel's file work: the source's facts, CUE sheets and chapters in and out.
#pragma once

#include "chapters.h"
#include "cutrequest.h"
#include "streamindex.h"

#include <QString>

#include <optional>

namespace parvex {

class MarksModel;

// The rate and gapless length of the MP3 at `path`, from a walk over its frames; nullopt when it
// cannot be cut exactly. Reads the whole file: for a worker thread.
std::optional<GaplessFacts> MeasureMarksSource(const QString& path);

// Each returns the sentence that says why nothing was read or written, or an empty string.
// The tracks of the sheet's FILE that is `sourcePath` (INDEX 01), for MarksModel::importPieces.
QString ReadCuePieces(const QString& sheetPath, const QString& sourcePath, CutAtMarks* pieces);
// The ID3v2 chapters of `sourcePath`; none is an error.
QString ReadChapterPieces(const QString& sourcePath, CutAtMarks* pieces);
// A sheet over `sourcePath`'s file name with a track per piece the marks cut.
QString ExportCueMarks(
    const MarksModel& marks, const QString& sheetPath, const QString& sourcePath);
// A copy of `sourcePath` at `outputPath` (replaced if it exists) with a chapter per piece the
// marks cut. Reads and writes the whole file: not for the GUI thread.
QString SaveChapteredCopy(
    const std::vector<Chapter>& chapters, const QString& sourcePath, const QString& outputPath);

} // namespace parvex
