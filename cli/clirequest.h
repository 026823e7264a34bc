// SPDX-License-Identifier: GPL-3.0-or-later
// What one run of parvex-cli was asked to do, after its arguments were checked.
#pragma once

#include "silencemarks.h"
#include "timemark.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parvex {

enum class CliCommand { Info, Cut, Parts, Every, Split, Chapters, Silences };

// Where `split` takes its cut points from.
enum class MarkSource { At, Cue, Chapters, Silence, Chunk };

struct CliRequest
{
    CliCommand command = CliCommand::Info;
    std::string source;
    std::optional<std::int64_t> durationSeconds; // --duration: T given instead of measured
    // cut
    TimeMark start;
    TimeMark end;
    std::string output;
    bool assumeYes = false;
    bool exact = false; // --exact: whole frames, sample-exact ends, fresh gapless header
    // parts
    std::int64_t partCount = 1;
    // every: whole seconds as the window's seconds box gives them to the proportional split,
    // and the length as typed, fraction included, for the exact one
    std::string secondsText;
    TimeMark everyLength;
    // parts, every; empty = the working folder
    std::string folder;

    // split: several sources (folders with `recursive`), each planned and cut on its own
    std::vector<std::string> sources;
    bool recursive = false;
    MarkSource marks = MarkSource::At;
    std::vector<TimeMark> cutPoints; // --at, in the order typed
    std::string cueSheet;
    std::string cueEncoding; // empty: detected
    bool pregap = false; // cut at a track's INDEX 00 where it has one
    SilenceSettings silence;
    TimeMark chunkLength; // --chunk DESIRED[,MAX]
    std::optional<TimeMark> chunkMaximum; // nullopt: 1.25 x DESIRED
    std::string nameTemplate; // -o; empty: the default
    bool pretend = false;
    std::string exportCue; // --export-cue: where to write the plan as a CUE sheet
};

} // namespace parvex
