// SPDX-License-Identifier: GPL-3.0-or-later
// Names of the files a split writes, built from the source's name and the output folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace parvex {

// The text after the last '/'; the whole path when it holds none. A backslash is part of a
// name on Linux, not a separator.
std::string FileNameFromPath(std::string_view path);

// "<name>_<index>.mp3", where <name> is the source's file name without its extension (from its
// last '.'). Only the file name is cut: "/music/My.Files/track" gives "track_0.mp3".
std::string MakePartFileName(std::string_view sourcePath, std::int64_t index);

// The folder followed by the file name, with a '/' between them when the folder is not empty
// and does not end in '/'. An empty folder stays empty: the name alone, in the
// working folder.
std::string OutputPathInFolder(std::string_view folder, std::string_view fileName);

} // namespace parvex
