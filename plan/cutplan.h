// SPDX-License-Identifier: GPL-3.0-or-later
// A cut as a plain value: which pieces of the source go to which files, with which tags.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace parvex {

// The tag fields a piece carries on top of the source's own tag. Empty texts keep the source's.
struct PieceTags
{
    int track = 0; // from 1; 0 keeps the source's track number (a range cut)
    int trackCount = 0;
    std::string title;
    std::string performer;
    std::string album;
};

struct PlannedPiece
{
    // Samples of the source's gapless decode, [firstSample, endSample).
    std::int64_t firstSample = 0;
    std::int64_t endSample = 0;
    std::string outputPath;
    PieceTags tags;
};

struct CutPlan
{
    std::string sourcePath;
    std::vector<PlannedPiece> pieces; // in the order they are written
    // A range cut asks before it replaces its one chosen output; splits replace their numbered
    // pieces silently.
    bool askBeforeReplacing = false;
    // Marked pieces: an existing file of one of them stops the cut before anything is written,
    // unless the user said to replace them; their names may hold folders, made as needed.
    bool refuseExisting = false;
    bool makeFolders = false;
    int sampleRate = 0; // Hz, of the samples above
};

} // namespace parvex
