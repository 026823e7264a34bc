// SPDX-License-Identifier: GPL-3.0-or-later
// Positioned reads of a source that every reader of the engines goes through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

namespace parvex {

// One pread(2), retried when a signal interrupts it: the bytes read, 0 at the end of the file,
// -1 with errno set. Fewer bytes than asked are no sign of the end: FUSE and network file
// systems return short reads anywhere, so a caller loops or takes what came.
std::int64_t ReadSomeAt(int fd, void* buffer, std::size_t bytes, std::int64_t offset);

// All `bytes` at `offset`, over as many reads as it takes; false with errno set on an error,
// and with EIO when the file ends first (it shrank, or the caller's offsets are wrong).
bool ReadFullyAt(int fd, void* buffer, std::size_t bytes, std::int64_t offset);

// What ReadSomeAt calls instead of pread(2), for the tests that must see short reads or a
// failing read on a real file; nullptr restores pread(2). Not for production code.
using ReadAtFunction = ssize_t (*)(int fd, void* buffer, std::size_t bytes, off_t offset);
void SetReadAtForTesting(ReadAtFunction read);

} // namespace parvex
