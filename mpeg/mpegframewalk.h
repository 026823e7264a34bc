// SPDX-License-Identifier: GPL-3.0-or-later
// The length of a plain MPEG audio stream from its frame headers alone, without libmpg123.
#pragma once

#include <cstdint>
#include <optional>

namespace parvex {

class FileReader;

// Walks the headers of the stream that starts at `streamStart` (see FindMpegAudioStart) and
// returns its length in 100-ns units, truncated: frames x samples per frame. It reads only
// what a copy of the file would, so it costs about as much as one.
//
// It answers only for the streams whose length needs nothing but the headers, and nullopt for
// everything else, so that the caller can ask libmpg123: a Xing, Info or VBRI frame (delay
// and padding to honour), a frame of another stream or channel count, damage between frames,
// a last frame cut short, or anything after the last frame but an APE tag and an ID3v1 tag.
// Where it answers, the answer is libmpg123's.
std::optional<std::int64_t> WalkPlainMpegLength(FileReader& reader, std::int64_t streamStart);

} // namespace parvex
