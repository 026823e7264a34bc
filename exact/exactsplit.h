// The exact splits: pieces at frame or sample boundaries that decode, joined, to the source.
#pragma once

#include "splithost.h"
#include "splitresult.h"

#include <cstdint>
#include <string>

struct ExactSplitRequest
{
    std::string sourcePath;
    std::string outputFolder; // a missing final separator is supplied; empty = working folder
};

// `parts` pieces of about equal audio bytes (tags excluded), cut at the nearest frame starts.
// More pieces than the audio has frames are refused before anything is written.
SplitResult SplitPartsExact(const ExactSplitRequest& request, std::int64_t parts, SplitHost& host);
// Pieces of `seconds` of the gapless decode each (sample-exact); a remainder shorter than
// min(1 s, seconds / 10) joins the last piece.
SplitResult SplitEveryExact(
    const ExactSplitRequest& request, std::int64_t seconds, SplitHost& host);

// Both name their pieces "<name>_<i>.mp3" in the folder and replace existing ones silently, as
// the proportional splits do, but each through a temporary file renamed into place once it is
// closed: a failure leaves no partial piece and the old file of that name whole.
