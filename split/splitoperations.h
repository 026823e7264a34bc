// SPDX-License-Identifier: GPL-3.0-or-later
// The three ways of cutting the source into verbatim byte runs placed by proportion of time.
#pragma once

#include "splithost.h"
#include "splitresult.h"
#include "timemark.h"

#include <cstdint>
#include <string>

namespace parvex {

struct RangeCutRequest
{
    std::string sourcePath;
    bool sourceOpen = false; // the window's title line is not empty
    std::int64_t totalSeconds = 0; // T, whole seconds
    TimeMark start;
    TimeMark end;
    std::string outputPath; // used exactly as given
};

struct EqualPartsRequest
{
    std::string sourcePath;
    bool sourceOpen = false; // the window's title line is not empty
    std::int64_t partCount = 1; // N; below 1 does nothing
    std::string outputFolder; // a missing final separator is supplied; empty = working folder
};

struct FixedLengthRequest
{
    std::string sourcePath; // empty does nothing
    std::int64_t totalSeconds = 0; // T, whole seconds; 0 does nothing
    std::string secondsText; // K as typed: leading integer, like atoi; below 1 does nothing
    std::string outputFolder;
};

// One piece between two time marks, asking before it replaces an existing output.
SplitResult CutRange(const RangeCutRequest& request, SplitHost& host);
// N pieces of equal byte size, "<name>_<i>.mp3" in the output folder, replaced silently.
SplitResult SplitEqualParts(const EqualPartsRequest& request, SplitHost& host);
// Pieces of K seconds each, the last one shorter, named as the equal parts.
SplitResult SplitFixedLength(const FixedLengthRequest& request, SplitHost& host);

} // namespace parvex
