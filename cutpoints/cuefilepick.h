// SPDX-License-Identifier: GPL-3.0-or-later
// Chooses which FILE of a CUE sheet describes the recording being cut.
#pragma once

#include "cuesheet.h"

#include <string>
#include <string_view>

namespace parvex {

// Among the FILEs with audio tracks: the one whose name without folder and extension equals the
// source's file name without extension (exactly, then ignoring ASCII case), or the only one. A
// sheet names `album.wav` while the user holds `album.mp3`, hence the extension is not compared.
// Otherwise nullptr, and `*error` names the sheet's files, e.g.
// "album.cue names 2 files (side A.wav, side B.wav); none is \"mix\"".
const CueFile* PickCueFile(const CueSheet& sheet, std::string_view sourcePath, std::string* error);

} // namespace parvex
