// SPDX-License-Identifier: GPL-3.0-or-later
// What a front end asks for: which source, where to cut it, where the pieces go, which engine.
#pragma once

#include "cutplan.h"
#include "timemark.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace parvex {

// One piece between two marks, written to a path the user chose (asking before a replace).
struct CutBetween
{
    TimeMark start;
    TimeMark end;
    std::string outputPath; // used exactly as given
};

// N pieces: of equal byte size (proportional), of about equal audio bytes at frame starts (exact).
struct CutIntoParts
{
    std::int64_t count = 1; // below 1 does nothing
};

// Pieces of a fixed length, the last one holding what remains.
struct CutEvery
{
    // The box as typed, read as a leading integer (atoi) by the proportional engine.
    std::string secondsText;
    // The same length for the exact engine, which honours fractions of a second.
    TimeMark length;
};

// A place in the source's decode in the unit it came in, so that it becomes a sample with one
// rounding: nanoseconds of a typed time, milliseconds of a chapter, CD frames of a CUE sheet (75
// a second), or samples.
struct CutPoint
{
    std::int64_t count = 0;
    std::int64_t perSecond = 1'000'000'000;
};

// The sample at `point` at `sampleRate`: count x rate / perSecond, rounded to the nearest.
std::int64_t PointSample(const CutPoint& point, std::int64_t sampleRate);

struct MarkedPiece
{
    CutPoint start;
    std::optional<CutPoint> end; // nullopt: where the next piece starts, or the source's end
    std::string title;
    std::string performer;
};

// Pieces between marks the front end knows: typed cut points, a CUE sheet's tracks, chapters.
// Always exact cuts. Each piece starts after the one before ends.
struct CutAtMarks
{
    std::vector<MarkedPiece> pieces;
    std::string album; // the sheet's title, for the album tag and @a
    std::string albumPerformer; // the performer of pieces that name none
};

using CutShape = std::variant<CutBetween, CutIntoParts, CutEvery, CutAtMarks>;

struct CutRequest
{
    std::string sourcePath;
    // The window's title line is not empty: a source was opened and measured.
    bool sourceOpen = false;
    // Exact cuts: whole frames, sample-exact ends, fresh gapless headers, through the frame index.
    // Otherwise the proportional byte cut, which needs the whole-second length T below.
    bool exact = false;
    CutShape shape;
    // Splits: where "<name>_<i>.mp3" go; a missing final separator is supplied, empty = the
    // working folder.
    std::string outputFolder;
    // T in whole seconds, asked for only when the proportional engine runs (the window knows it
    // from opening the file; the command line measures it then). nullopt after the front end
    // reported why it could not.
    std::function<std::optional<std::int64_t>()> measureSeconds;

    // Marked pieces: their names (a pattern as ExpandNameTemplate takes it; empty for the
    // default) and whether an existing file of one of them is replaced. If not, an existing file
    // stops the cut before any piece is written.
    std::string nameTemplate;
    bool replaceExisting = false;
    // Sees an exact plan before anything is written; false writes nothing (a preview of the plan,
    // or a batch checking every source's names first).
    std::function<bool(const CutPlan&)> reviewPlan;
};

} // namespace parvex
