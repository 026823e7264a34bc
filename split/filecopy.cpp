// Block copy through the standard streams, with 64-bit positions.
#include "filecopy.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <memory>

namespace {

constexpr std::int64_t BlockSize = 512;

#if defined(_WIN32)
std::int64_t tell(std::FILE* stream)
{
    return _ftelli64(stream);
}
bool seek(std::FILE* stream, std::int64_t offset, int origin)
{
    return _fseeki64(stream, offset, origin) == 0;
}
#else
static_assert(sizeof(off_t) >= 8, "build with 64-bit file offsets");
std::int64_t tell(std::FILE* stream)
{
    return ftello(stream);
}
bool seek(std::FILE* stream, std::int64_t offset, int origin)
{
    return fseeko(stream, static_cast<off_t>(offset), origin) == 0;
}
#endif

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

int LastErrorOr(int fallback)
{
    return errno != 0 ? errno : fallback;
}

std::int64_t MeasureFileSize(std::FILE* stream)
{
    const std::int64_t position = tell(stream);
    if (position < 0 || !seek(stream, 0, SEEK_END))
        return -1;
    const std::int64_t size = tell(stream);
    if (!seek(stream, position, SEEK_SET))
        return -1;
    return size;
}

bool FileExists(const std::string& path)
{
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream)
        return false;
    std::fclose(stream);
    std::error_code ec;
    return !std::filesystem::is_directory(path, ec);
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

int CloseOutput(std::FILE* stream)
{
    errno = 0;
    return std::fclose(stream) == 0 ? 0 : LastErrorOr(EIO);
}

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
