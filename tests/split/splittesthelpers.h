// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers the split tests share: byte slices, fault-injecting streams, sparse files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace parvex {

// Bytes [start, start + length) of `bytes`, cut short at their end.
std::vector<char> Slice(const std::vector<char>& bytes, std::int64_t start, std::int64_t length);

// A read-only stream of `size` pattern bytes whose reads fail with `errorNumber` once
// `failAfter` bytes were delivered. Unbuffered, so the failure shows at the byte it is due.
std::FILE* OpenFailingReader(std::int64_t size, std::int64_t failAfter, int errorNumber);

// A write-only stream that takes `capacity` bytes and then fails with `errorNumber`.
// `buffered` keeps the stream's own buffer, so a failure can wait until fclose.
std::FILE* OpenFailingWriter(std::int64_t capacity, int errorNumber, bool buffered);

// A sparse file of `size` bytes (no disk used) with `marker` bytes written at `markerOffset`.
void MakeSparseFile(const std::filesystem::path& path, std::int64_t size, std::int64_t markerOffset,
    const std::string& marker);

// Joins lines with '\n', to compare a call log in one assertion.
std::string JoinLines(const std::vector<std::string>& lines);

} // namespace parvex
