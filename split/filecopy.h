// SPDX-License-Identifier: GPL-3.0-or-later
// The block copy the split operations share: the bytes of a range, moved in large blocks.
#pragma once

#include "byterange.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>

namespace parvex {

// What a copy moves per read and write when the caller gives no buffer. Peak memory is this
// buffer, whatever the size of the source.
inline constexpr std::size_t CopyBufferSize = std::size_t { 1 } << 20;

enum class CopyError {
    None,
    Read, // the source could not be positioned or read (not its end)
    Write, // the output took fewer bytes than it was given
    Cancelled, // the progress callback asked to stop
};

struct CopyOutcome
{
    CopyError error = CopyError::None;
    int errorNumber = 0; // errno of the failing call
    std::int64_t bytesWritten = 0; // by this copy, a partial last block included

    bool ok() const { return error == CopyError::None; }
};

// Called after each block with the bytes this copy has written so far; false stops the copy
// there (CopyError::Cancelled), the block already written.
using CopyProgress = std::function<bool(std::int64_t bytesWritten)>;

// Copies the source's bytes [start, start + 512 * ceil((end - start) / 512)), cut short by the end
// of the file, to the output's current position. The whole 512-byte blocks are the rule the
// pieces have always followed: each piece but the last overshoots its nominal end by up to 511
// bytes. Nothing is copied when end <= start. The end of the file is not an error; a read error
// is. Neither stream is opened or closed. `buffer` may be empty (one is allocated).
CopyOutcome CopyByteRange(std::FILE* source, std::FILE* output, ByteRange range,
    std::span<char> buffer = {}, const CopyProgress& onBlock = {});

// The bytes CopyByteRange writes for `range` from a source of `size` bytes.
std::int64_t CopiedByteCount(ByteRange range, std::int64_t size);

} // namespace parvex
