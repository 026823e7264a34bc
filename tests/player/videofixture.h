// SPDX-License-Identifier: GPL-3.0-or-later
// Short test videos made at test time with a GStreamer pipeline, so no media file is committed.
#pragma once

#include <filesystem>
#include <string>

namespace parvex {

struct VideoOptions
{
    int width = 64;
    int height = 48;
    int frames = 30; // at 30 frames per second
    bool withAudio = true; // a raw PCM track as long as the picture
};

// Writes a motion-JPEG AVI of a test pattern. Returns an empty string on success, otherwise
// why not: a missing plug-in ("missing GStreamer element jpegenc") or the pipeline's error.
std::string MakeTestVideo(const std::filesystem::path& path, const VideoOptions& options);

// Empty when every named element can be made; otherwise "missing GStreamer element <name>".
std::string MissingElement(std::initializer_list<const char*> names);

} // namespace parvex
