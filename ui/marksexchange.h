// SPDX-License-Identifier: GPL-3.0-or-later
// The By marks panel's file work: the source's facts, CUE sheets and chapters in and out.
#pragma once

#include <QString>

namespace parvex {

class MarksModel;

// Opens `marks` for the MP3 at `path` (its rate and gapless length from a walk over its frames,
// with the marks kept for it in MarksFolder()); a file that cannot be walked leaves `marks`
// without a source. False then.
bool OpenMarksSource(MarksModel& marks, const QString& path);

// Each returns the sentence that says why nothing changed, or an empty string.
// The tracks of the sheet's FILE that is `sourcePath` become the marks (INDEX 01).
QString ImportCueMarks(MarksModel& marks, const QString& sheetPath, const QString& sourcePath);
// The ID3v2 chapters of `sourcePath` become the marks.
QString ImportChapterMarks(MarksModel& marks, const QString& sourcePath);
// A sheet over `sourcePath`'s file name with a track per piece the marks cut.
QString ExportCueMarks(
    const MarksModel& marks, const QString& sheetPath, const QString& sourcePath);

} // namespace parvex
