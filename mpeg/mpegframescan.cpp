// SPDX-License-Identifier: GPL-3.0-or-later
// libmpg123 counts the frames, reading through FileReader (see mpg123filereader.h).
#include "mpegframescan.h"

#include "filereader.h"
#include "mediatime.h"
#include "mpg123filereader.h"

#include <mpg123.h>

#include <memory>

namespace parvex {

namespace {

struct HandleDeleter
{
    void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};
using Mpg123Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

Mpg123Handle openStream(FileReader& reader)
{
    int error = MPG123_OK;
    Mpg123Handle handle(mpg123_new(nullptr, &error));
    if (!handle)
        return nullptr;
    // Gapless (the default) lets an Info header's delay and padding be subtracted. The resync
    // limit is lifted: by default a scan that meets more than 1 KiB of damage in mid-stream
    // stops there and reports the frames so far as the whole length. Resyncing without limit
    // is safe only because FindMpegAudioStart already proved that the file is MPEG audio.
    // MPG123_NO_FRANKENSTEIN is not set: it would end the count at the frame number of the
    // first Info header, which is wrong for joined files.
    if (mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0) != MPG123_OK
        || mpg123_param(handle.get(), MPG123_RESYNC_LIMIT, -1, 0) != MPG123_OK
        || OpenMpg123WithReader(handle.get(), reader) != MPG123_OK)
        return nullptr;
    return handle;
}

} // namespace

std::optional<std::int64_t> ScanMpegAudioLength(FileReader& reader, std::int64_t streamStart)
{
    if (!InitialiseMpg123())
        return std::nullopt;
    reader.setOrigin(streamStart);
    const Mpg123Handle handle = openStream(reader);
    if (!handle)
        return std::nullopt;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK || rate <= 0
        || mpg123_scan(handle.get()) != MPG123_OK)
        return std::nullopt;
    const off_t samples = mpg123_length(handle.get());
    mpg123_close(handle.get());
    if (samples < 0)
        return std::nullopt;
    return MediaTimeFromSamples(samples, rate);
}

} // namespace parvex
