// SPDX-License-Identifier: GPL-3.0-or-later
// libmpg123 set up the way the frame scan in mpeg/ sets it up, so that both count the same
// samples: replaced I/O through FileReader, gapless, resync without limit.
#include "mpg123stream.h"

#include "mpegstreamlocator.h"
#include "mpg123filereader.h"

#include <mpg123.h>

#include <sys/types.h>

namespace parvex {

namespace {

// Enough for the deepest MPEG-1 reservoir (511 bytes) over the smallest frames (32 kbit/s at
// 48 kHz: 60 bytes of main data each), plus the frame before the target that the overlap needs.
constexpr long kPreFrames = 12;

} // namespace

Mpg123Stream::Mpg123Stream() = default;

Mpg123Stream::~Mpg123Stream()
{
    if (m_handle) {
        mpg123_close(m_handle);
        mpg123_delete(m_handle);
    }
}

namespace {

bool failWith(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

std::string unreadable(const std::string& path)
{
    return "Cannot read " + path + ": it is missing, unreadable or not a regular file.";
}

} // namespace

bool Mpg123Stream::open(const std::string& path, std::string* error)
{
    if (!m_reader.open(path))
        return failWith(error, unreadable(path));
    const auto audioStart = FindMpegAudioStart(m_reader);
    if (!audioStart)
        return failWith(error, path + " is not an MPEG audio file.");
    m_reader.setOrigin(*audioStart);
    return start(path, true, error);
}

bool Mpg123Stream::openAtFrame(
    const std::string& path, std::int64_t frameOffset, std::string* error)
{
    if (!m_reader.open(path))
        return failWith(error, unreadable(path));
    m_reader.setOrigin(frameOffset);
    return start(path, false, error);
}

bool Mpg123Stream::start(const std::string& path, bool gapless, std::string* error)
{
    const auto fail = [&](const std::string& text) {
        return failWith(error, text);
    };
    if (!InitialiseMpg123())
        return fail("The MPEG audio decoder could not be started.");
    int status = MPG123_OK;
    m_handle = mpg123_new(nullptr, &status);
    if (!m_handle)
        return fail("The MPEG audio decoder could not be started.");
    // Resyncing without limit is safe only because FindMpegAudioStart (or the frame index that
    // gave the frame to start at) proved that this is MPEG audio; with the default limit a stretch
    // of damage would end the decode early, and the length would no longer be the exact engine's.
    const bool ready
        = mpg123_param(m_handle, MPG123_ADD_FLAGS, MPG123_QUIET | (gapless ? MPG123_GAPLESS : 0), 0)
            == MPG123_OK
        && (gapless || mpg123_param(m_handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0) == MPG123_OK)
        && mpg123_param(m_handle, MPG123_RESYNC_LIMIT, -1, 0) == MPG123_OK
        && mpg123_param(m_handle, MPG123_PREFRAMES, kPreFrames, 0) == MPG123_OK
        && mpg123_format_none(m_handle) == MPG123_OK
        && mpg123_format2(m_handle, 0, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16)
            == MPG123_OK
        && OpenMpg123WithReader(m_handle, m_reader) == MPG123_OK && readFormat();
    if (!ready)
        return fail("The MPEG audio decoder cannot read " + path + ".");
    return true;
}

bool Mpg123Stream::readFormat()
{
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0
        || channels < 1 || channels > 2 || encoding != MPG123_ENC_SIGNED_16)
        return false;
    m_rate = static_cast<int>(rate);
    m_channels = channels;
    return true;
}

bool Mpg123Stream::scan()
{
    return mpg123_scan(m_handle) == MPG123_OK && length() >= 0;
}

bool Mpg123Stream::seek(std::int64_t sample)
{
    return mpg123_seek(m_handle, static_cast<off_t>(sample), SEEK_SET) == sample;
}

std::int64_t Mpg123Stream::length() const
{
    return mpg123_length(m_handle);
}

bool Mpg123Stream::isMpeg1LayerIIIStereo() const
{
    mpg123_frameinfo2 info {};
    return mpg123_info2(m_handle, &info) == MPG123_OK && info.version == MPG123_1_0
        && info.layer == 3 && m_channels == 2;
}

bool Mpg123Stream::isJoined() const
{
    long joined = 0;
    return mpg123_getstate(m_handle, MPG123_FRANKENSTEIN, &joined, nullptr) != MPG123_OK
        || joined != 0;
}

Mpg123Stream::Status Mpg123Stream::decodeFrame(const std::int16_t*& samples, std::size_t& frames)
{
    off_t frameNumber = 0;
    unsigned char* audio = nullptr;
    size_t bytes = 0;
    const int status = mpg123_decode_frame(m_handle, &frameNumber, &audio, &bytes);
    if (status == MPG123_NEW_FORMAT) {
        const int rate = m_rate;
        if (!readFormat() || m_rate != rate) {
            m_errorText = "its sample rate changes in mid-stream";
            return Status::Failed;
        }
        return Status::NewFormat;
    }
    if (status == MPG123_DONE)
        return Status::End;
    if (status != MPG123_OK) {
        const char* text = mpg123_strerror(m_handle);
        m_errorText = text ? text : "the decoder failed";
        return Status::Failed;
    }
    // libmpg123's output buffer is aligned for any sample type.
    samples = reinterpret_cast<const std::int16_t*>(audio);
    frames = bytes / (sizeof(std::int16_t) * static_cast<std::size_t>(m_channels));
    return Status::Frame;
}

} // namespace parvex
