// SPDX-License-Identifier: GPL-3.0-or-later
// What one run of parvex-cli was asked to do, after its arguments were checked.
#pragma once

#include "timemark.h"

#include <cstdint>
#include <optional>
#include <string>

namespace parvex {

enum class CliCommand { Info, Cut, Parts, Every };

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
};

} // namespace parvex
