// SPDX-License-Identifier: GPL-3.0-or-later
// Decides by content whether a file is an MPEG audio stream, and where its first frame lies.
#pragma once

#include <cstdint>
#include <optional>

namespace parvex {

class FileReader;

// The byte offset of the first frame of a run of consecutive, mutually consistent MPEG audio
// frames, found after any ID3v2 tags within a small window of junk; nullopt when there is
// none (WAV, text, random bytes, other containers). Reading positions of `reader` move.
std::optional<std::int64_t> FindMpegAudioStart(FileReader& reader);

} // namespace parvex
