// SPDX-License-Identifier: GPL-3.0-or-later
// Marks to and from the marked pieces the planners take, CUE sheets and chapters.
#pragma once

#include "chapters.h"
#include "cuesheet.h"
#include "cutrequest.h"
#include "mark.h"

#include <string>
#include <vector>

namespace parvex {

// One piece from the start to the first mark (unless a mark is at sample 0: it titles that
// piece) and one from each mark to the next or the end, as `parvex-cli split --at` cuts. Points
// are samples at `sampleRate`, so that they plan back to the marks exactly.
CutAtMarks PiecesFromMarks(const std::vector<Mark>& marks, int sampleRate);

// The start of each piece, in order; an untitled piece at sample 0 (the start every list of
// pieces has) gives no mark. Unsorted or repeated starts are the model's to sort out.
std::vector<Mark> MarksFromPieces(const CutAtMarks& pieces, int sampleRate);

// The tracks of one FILE of a sheet, from INDEX 01 (INDEX 00 with `pregap`), as split --cue.
CutAtMarks PiecesFromCue(const CueFile& file, bool pregap);

CutAtMarks PiecesFromChapters(const std::vector<Chapter>& chapters);

// A sheet over `fileName` with a track per piece of PiecesFromMarks.
CueExport CueFromMarks(const std::vector<Mark>& marks, int sampleRate, const std::string& fileName);

// A chapter per piece, each ending where the next starts, the last at `totalSamples`.
std::vector<Chapter> ChaptersFromMarks(
    const std::vector<Mark>& marks, int sampleRate, std::int64_t totalSamples);

} // namespace parvex
