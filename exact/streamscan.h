// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the frame index of an MP3 file in one buffered pass.
#pragma once

#include "streamindex.h"

#include <cstdint>
#include <optional>
#include <string>

namespace parvex {

// Indexes the MPEG audio stream of a regular file: every whole audio frame after the ID3v2
// tags and the Xing/Info frame, up to the APE and ID3v1 tags at the end, resyncing over
// damaged bytes between frames. Refuses what an exact cut cannot serve.
IndexOutcome IndexMp3Stream(const std::string& path);
// The same, but the walk may stop once the frames reach well past `untilSecond` seconds of the
// gapless decode (see StreamIndex::toEnd): enough for a range cut whose marks lie before it,
// and for its refusals of marks past the end. Damage after that point goes unseen.
IndexOutcome IndexMp3Stream(const std::string& path, std::optional<std::int64_t> untilSecond);
// The same for the regular file open as `sourceFd`, which stays open: every read of the walk, its
// second thread's included, goes through that one descriptor (with pread(), so its position
// does not move), and a path renamed over meanwhile changes nothing. A job opens its source once
// and gives the index, the tags and the pieces that descriptor. Throws nothing.
IndexOutcome IndexMp3Stream(int sourceFd, std::optional<std::int64_t> untilSecond = std::nullopt);

} // namespace parvex
