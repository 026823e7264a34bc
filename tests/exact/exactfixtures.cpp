// SPDX-License-Identifier: GPL-3.0-or-later
// libmpg123 with a growing index (a negative MPG123_INDEX_SIZE) records every frame.
#include "exactfixtures.h"

#include "piecewriter.h"

#include <mpg123.h>

#include <fcntl.h>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace parvex {

namespace {

Mp3Options options(int sampleRate, int channels, std::vector<std::string> lameArgs)
{
    return { 3.0, sampleRate, channels, std::move(lameArgs) };
}

struct HandleDeleter
{
    void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};

} // namespace

const std::vector<SourceKind>& SourceKinds()
{
    static const std::vector<SourceKind> kinds {
        { "Cbr128Stereo", options(44100, 2, { "-b", "128" }), false },
        { "VbrV2Stereo", options(44100, 2, { "-V", "2" }), true },
        { "VbrWithoutXing", options(44100, 2, { "-V", "2", "-t" }), true, false },
        { "Mpeg1MonoVbr48k", options(48000, 1, { "-V", "2" }), true },
        { "Mpeg2Stereo22k", options(22050, 2, { "-V", "4" }), true },
        { "Mpeg2MonoSpokenWord", options(22050, 1, { "-V", "4" }), true },
        { "CrcCbr", options(44100, 2, { "-b", "128", "-p" }), false },
        { "CrcVbr", options(44100, 2, { "-V", "5", "-p" }), true },
        { "Mpeg25Mono11k", options(11025, 1, { "-b", "32" }), false },
    };
    return kinds;
}

Mpg123View ScanWithMpg123(const std::filesystem::path& path)
{
    Mpg123View view;
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, HandleDeleter> handle(mpg123_new(nullptr, &error));
    if (!handle
        || mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0)
            != MPG123_OK
        || mpg123_param(handle.get(), MPG123_INDEX_SIZE, -1000, 0) != MPG123_OK
        || mpg123_open(handle.get(), path.c_str()) != MPG123_OK
        || mpg123_scan(handle.get()) != MPG123_OK)
        return view;
    view.samples = mpg123_length(handle.get());
    mpg123_getstate(handle.get(), MPG123_ENC_DELAY, &view.delay, nullptr);
    mpg123_getstate(handle.get(), MPG123_ENC_PADDING, &view.padding, nullptr);
    off_t* offsets = nullptr;
    off_t step = 0;
    size_t fill = 0;
    if (mpg123_index(handle.get(), &offsets, &step, &fill) == MPG123_OK && step == 1)
        view.frameOffsets.assign(offsets, offsets + fill);
    mpg123_close(handle.get());
    return view;
}

void WriteBytes(const std::filesystem::path& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::int16_t> DecodeGapless(const std::filesystem::path& path)
{
    std::vector<std::int16_t> samples;
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, HandleDeleter> handle(mpg123_new(nullptr, &error));
    if (!handle
        || mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0)
            != MPG123_OK
        || mpg123_open(handle.get(), path.c_str()) != MPG123_OK)
        return samples;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK)
        return samples;
    mpg123_format_none(handle.get());
    mpg123_format(handle.get(), rate, channels, MPG123_ENC_SIGNED_16);
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        size_t got = 0;
        const int rc = mpg123_read(handle.get(), buffer.data(), buffer.size(), &got);
        const auto* first = reinterpret_cast<const std::int16_t*>(buffer.data());
        samples.insert(samples.end(), first, first + got / sizeof(std::int16_t));
        if (rc == MPG123_DONE)
            break;
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT)
            return {};
    }
    mpg123_close(handle.get());
    return samples;
}

std::vector<std::int16_t> DecodeJoined(
    const std::vector<std::filesystem::path>& pieces, Decoder decode)
{
    std::vector<std::int16_t> joined;
    for (const auto& piece : pieces) {
        const auto samples = decode(piece);
        joined.insert(joined.end(), samples.begin(), samples.end());
    }
    return joined;
}

std::vector<std::filesystem::path> WritePlannedPieces(const StreamIndex& index,
    const std::vector<PiecePlan>& pieces, const std::filesystem::path& source,
    const std::filesystem::path& folder)
{
    const int sourceFd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (sourceFd < 0)
        return {};
    std::vector<std::filesystem::path> paths;
    for (const PiecePlan& piece : pieces) {
        const auto path = folder / ("piece-" + std::to_string(paths.size()) + ".mp3");
        const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool written = out >= 0 && WritePiece(index, piece, sourceFd, out).written;
        if (out < 0 || ::close(out) != 0 || !written) {
            paths.clear();
            break;
        }
        paths.push_back(path);
    }
    ::close(sourceFd);
    return paths;
}

} // namespace parvex
