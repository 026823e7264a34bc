// SPDX-License-Identifier: GPL-3.0-or-later
// GStreamer's gapless decode of an MP3, the second decoder exact cuts are checked against.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace parvex {

// The file through id3demux ! mpegaudioparse ! mpg123audiodec as interleaved 16-bit samples;
// mpegaudioparse reads the LAME tag and trims delay and padding. Empty if it cannot decode.
// id3demux comes first because on short files the parser can lock onto a false sync inside a
// tag's picture. Initialises GStreamer on first use.
std::vector<std::int16_t> DecodeWithGStreamer(const std::filesystem::path& path);

// Criticals GLib has logged in this process since the first DecodeWithGStreamer (GStreamer's
// elements report their own faults that way, and G_DEBUG=fatal-criticals makes each one end the
// process). They are still printed.
int GStreamerCriticals();

} // namespace parvex
