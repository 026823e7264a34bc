// SPDX-License-Identifier: GPL-3.0-or-later
// What a CUE sheet holds once read, and what one written from a cut plan holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parvex {

// Times are CD frames, 75 a second, counted from the start of the track's FILE. All text is
// UTF-8 whatever the sheet's encoding was.
struct CueTrack
{
    int number = 0; // as the sheet says (need not start at 1)
    std::string title, performer; // empty when the sheet has none
    std::int64_t index01 = 0;
    // Only when INDEX 00 lies in the same FILE as INDEX 01: in EAC's "non-compliant" layout the
    // pregap is the end of the previous file and is dropped.
    std::optional<std::int64_t> index00;
    int line = 0; // 1-based line of the TRACK line
};

// The audio tracks whose INDEX 01 lies in one FILE, INDEX 01 strictly increasing. Data tracks
// (MODE1/2352 ...) are not kept.
struct CueFile
{
    std::string name; // as written in FILE "..."
    std::vector<CueTrack> tracks;
};

struct CueSheet
{
    std::string title, performer; // the album's: given before the first TRACK
    std::vector<CueFile> files; // in the sheet's order, files without audio tracks included
    std::string displayName; // what the reader was told the sheet is called, for messages
};

// Exactly one of the two is set.
struct CueReadResult
{
    std::optional<CueSheet> sheet;
    std::string error; // e.g. "album.cue:12: frames must be 0–74"
};

struct CueExportTrack
{
    std::string title, performer;
    std::int64_t startSample = 0; // on the gapless timeline of the file
};

struct CueExport
{
    std::string fileName, title, performer;
    int sampleRate = 44100;
    std::vector<CueExportTrack> tracks; // in order of startSample
};

} // namespace parvex
