// The exact range cut: the piece between two marks, sample for sample, for the split hosts.
#pragma once

#include "splithost.h"
#include "splitresult.h"
#include "timemark.h"

#include <string>

struct ExactRangeCutRequest
{
    std::string sourcePath;
    // Seconds of the source's gapless decode, from its frame index (not the whole-second T).
    TimeMark start;
    TimeMark end;
    std::string outputPath; // used exactly as given
};

// Checks the marks as the proportional cut does (with the source's real length), asks before
// replacing an output, writes the piece to a temporary file beside the output and renames it
// into place once it is closed: a failure leaves neither a partial piece nor a damaged old file.
SplitResult CutRangeExact(const ExactRangeCutRequest& request, SplitHost& host);
