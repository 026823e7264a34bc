// The file mechanics the split operations share: size, existence, identity and the block copy.
#pragma once

#include "byterange.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>

// What a copy moves per read and write when the caller gives no buffer. Peak memory is this
// buffer, whatever the size of the source.
inline constexpr std::size_t CopyBufferSize = std::size_t { 1 } << 20;

enum class CopyError {
    None,
    Read, // the source could not be positioned or read (not its end)
    Write, // the output took fewer bytes than it was given
};

struct CopyOutcome
{
    CopyError error = CopyError::None;
    int errorNumber = 0; // errno of the failing call
    std::int64_t bytesWritten = 0; // by this copy, a partial last block included

    bool ok() const { return error == CopyError::None; }
};

// Called after each block with the bytes this copy has written so far.
using CopyProgress = std::function<void(std::int64_t bytesWritten)>;

// The stream's size in bytes, its position left where it was; -1 when it cannot be measured.
std::int64_t MeasureFileSize(std::FILE* stream);

// True when `path` names something that can be opened for reading and is not a folder.
bool FileExists(const std::string& path);

// True when both paths name the same existing file, however spelled (links, "..", symlinks).
bool IsSameFile(const std::string& a, const std::string& b);

// errno when a failed call set it, else `fallback` (some failures leave errno at 0).
int LastErrorOr(int fallback);

// Closes a stream that was written; 0, or the errno of a flush that failed at closing.
int CloseOutput(std::FILE* stream);

// Copies the source's bytes [start, start + 512 * ceil((end - start) / 512)), cut short by the end
// of the file, to the output's current position. The whole 512-byte blocks are the rule the
// pieces have always followed: each piece but the last overshoots its nominal end by up to 511
// bytes. Nothing is copied when end <= start. The end of the file is not an error; a read error
// is. Neither stream is opened or closed. `buffer` may be empty (one is allocated).
CopyOutcome CopyByteRange(std::FILE* source, std::FILE* output, ByteRange range,
    std::span<char> buffer = {}, const CopyProgress& onBlock = {});

// The bytes CopyByteRange writes for `range` from a source of `size` bytes.
std::int64_t CopiedByteCount(ByteRange range, std::int64_t size);
