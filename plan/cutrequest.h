// SPDX-License-Identifier: GPL-3.0-or-later
// What a front end asks for: which source, where to cut it, where the pieces go, which engine.
#pragma once

#include "timemark.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>

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

using CutShape = std::variant<CutBetween, CutIntoParts, CutEvery>;

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
};

} // namespace parvex
