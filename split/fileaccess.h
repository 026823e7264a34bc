// SPDX-License-Identifier: GPL-3.0-or-later
// What the operations learn about a path and how they open it: stat(2) and non-blocking open(2),
// so that no FIFO, device or socket is ever waited on, truncated or replaced.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace parvex {

enum class PathKind {
    Missing, // nothing there, or nothing stat(2) could see: there is nothing to replace
    RegularFile, // symlinks followed
    Special, // a folder, FIFO, device or socket: never a source, never an output
};

// Looks at `path` without opening it.
PathKind KindOfPath(const std::string& path);

// The byte size of a regular file, by stat(2); nullopt for anything else or nothing.
std::optional<std::int64_t> RegularFileSize(const std::string& path);

// Opens a regular file for reading, unbuffered; nullptr with errno set for anything else
// (EISDIR for a folder, ENODEV for a FIFO, device or socket). Never blocks.
std::FILE* OpenSourceFile(const std::string& path);

// Creates `path`, or truncates it if it is a regular file, for writing, unbuffered; nullptr with
// errno set otherwise. Anything there that is not a regular file is left untouched and unopened.
std::FILE* CreateOutputFile(const std::string& path);

// The byte size of the regular file behind `stream`; -1 for anything else (a pipe, a stream
// without a descriptor).
std::int64_t MeasureFileSize(std::FILE* stream);

// True when both paths name the same existing file, however spelled (links, "..", symlinks).
bool IsSameFile(const std::string& a, const std::string& b);

// errno when a failed call set it, else `fallback` (some failures leave errno at 0).
int LastErrorOr(int fallback);

// Closes a stream that was written; 0, or the errno of a flush that failed at closing.
int CloseOutput(std::FILE* stream);

} // namespace parvex
