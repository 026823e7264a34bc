// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a cut plan's pieces as a CUE sheet over the source they were cut from.
#pragma once

#include "cuesheet.h"

#include <string>

namespace parvex {

// UTF-8 without BOM (the form most readers take), LF line ends: PERFORMER and TITLE when known,
// FILE "<fileName>" MP3, then per track TRACK nn AUDIO, TITLE and PERFORMER when known, and
// INDEX 01 mm:ss:ff at the nearest CD frame of its start (minutes may pass 99). A first INDEX 01
// not at zero gets INDEX 00 00:00:00 before it, so that readers keep the audio before it.
// Double quotes in text become ' and control characters blanks, so that every reader reads the
// value back whole. Two starts within one CD frame of each other write the same INDEX 01, and
// more than 999 tracks or a value near 4096 bytes make a sheet that ReadCueSheet refuses.
std::string WriteCueSheet(const CueExport& sheet);

} // namespace parvex
