// SPDX-License-Identifier: GPL-3.0-or-later
// The exact length of an MPEG audio stream, counted frame by frame with libmpg123.
#pragma once

#include <cstdint>
#include <optional>

namespace parvex {

class FileReader;

// Counts every frame of the stream that starts at `streamStart` (see FindMpegAudioStart) and
// returns its length in 100-ns units, truncated; nullopt when libmpg123 cannot parse it.
// Nothing is decoded. With a LAME/Info header the encoder delay and padding are left out;
// without one the length is frames x samples per frame. A stale Info header (a file cut
// from a longer one) does not matter: the counted frames win. ID3v1 and APE tags at the
// end are skipped by libmpg123.
std::optional<std::int64_t> ScanMpegAudioLength(FileReader& reader, std::int64_t streamStart);

} // namespace parvex
