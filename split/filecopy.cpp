// Block copy through the standard streams, with 64-bit positions.
#include "filecopy.h"

#include "fileaccess.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>

namespace {

constexpr std::int64_t BlockSize = 512;

static_assert(sizeof(off_t) >= 8, "build with 64-bit file offsets");
bool seek(std::FILE* stream, std::int64_t offset, int origin)
{
    return fseeko(stream, static_cast<off_t>(offset), origin) == 0;
}

// end - start rounded up to whole blocks, saturating instead of overflowing.
std::int64_t blockLength(ByteRange range)
{
    if (range.end <= range.start)
        return 0;
    const auto length
        = static_cast<std::uint64_t>(range.end) - static_cast<std::uint64_t>(range.start);
    const std::uint64_t blocks = length / BlockSize + (length % BlockSize != 0 ? 1 : 0);
    constexpr auto max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    return blocks > max / BlockSize ? std::numeric_limits<std::int64_t>::max()
                                    : static_cast<std::int64_t>(blocks * BlockSize);
}

CopyOutcome failure(CopyError error, std::int64_t written)
{
    return { error, LastErrorOr(EIO), written };
}

} // namespace

std::int64_t CopiedByteCount(ByteRange range, std::int64_t size)
{
    if (range.start >= size)
        return 0;
    return std::min(blockLength(range), size - std::max<std::int64_t>(range.start, 0));
}

CopyOutcome CopyByteRange(std::FILE* source, std::FILE* output, ByteRange range,
    std::span<char> buffer, const CopyProgress& onBlock)
{
    std::int64_t remaining = blockLength(range);
    if (remaining == 0)
        return {};
    errno = range.start < 0 ? EINVAL : 0;
    if (range.start < 0 || !seek(source, range.start, SEEK_SET))
        return failure(CopyError::Read, 0);

    std::unique_ptr<char[]> owned;
    if (buffer.empty()) {
        const auto size = static_cast<std::size_t>(
            std::min<std::int64_t>(remaining, static_cast<std::int64_t>(CopyBufferSize)));
        owned = std::make_unique_for_overwrite<char[]>(size);
        buffer = { owned.get(), size };
    }

    std::int64_t written = 0;
    while (remaining > 0) {
        const auto wanted = static_cast<std::size_t>(
            std::min<std::int64_t>(remaining, static_cast<std::int64_t>(buffer.size())));
        const std::size_t got = std::fread(buffer.data(), 1, wanted, source);
        if (got < wanted && std::ferror(source))
            return failure(CopyError::Read, written);
        const std::size_t put = std::fwrite(buffer.data(), 1, got, output);
        written += static_cast<std::int64_t>(put);
        if (put != got)
            return failure(CopyError::Write, written);
        if (onBlock && got > 0)
            onBlock(written);
        if (got < wanted)
            break; // the end of the source
        remaining -= static_cast<std::int64_t>(got);
    }
    return { CopyError::None, 0, written };
}
