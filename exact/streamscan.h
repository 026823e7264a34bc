// Builds the frame index of an MP3 file in one buffered pass.
#pragma once

#include "streamindex.h"

#include <string>

class FileReader;

// Indexes the MPEG audio stream of a regular file: every whole audio frame after the ID3v2
// tags and the Xing/Info frame, up to the APE and ID3v1 tags at the end, resyncing over
// damaged bytes between frames. Refuses what an exact cut cannot serve.
IndexOutcome IndexMp3Stream(const std::string& path);
// The same on an open reader; its origin and position move.
IndexOutcome IndexMp3Stream(FileReader& reader);
