// SPDX-License-Identifier: GPL-3.0-or-later
// One libmpg123 decoder over one MP3 file, set up as the exact engine counts samples: gapless,
// int16 output, reading through FileReader from the first frame FindMpegAudioStart finds.
#pragma once

#include "filereader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct mpg123_handle_struct;

namespace parvex {

// Not thread-safe; two threads decode two halves with one each.
class Mpg123Stream
{
public:
    enum class Status { Frame, NewFormat, End, Failed };

    Mpg123Stream();
    ~Mpg123Stream();
    Mpg123Stream(const Mpg123Stream&) = delete;
    Mpg123Stream& operator=(const Mpg123Stream&) = delete;

    // false with a sentence in *error for a file that is missing, not MPEG audio, or that
    // libmpg123 cannot open.
    bool open(const std::string& path, std::string* error);
    // Opens the stream at the audio frame that starts `frameOffset` bytes into the file, for a
    // decode of a stretch: every sample from that frame on comes out, none trimmed (the gapless
    // facts are the caller's). Same failures as open().
    bool openAtFrame(const std::string& path, std::int64_t frameOffset, std::string* error);
    // Reads every frame header (nothing is decoded): the exact length and a full frame index.
    bool scan();
    // Sample-exact seek on the gapless timeline; decoding starts `MPG123_PREFRAMES` frames
    // earlier and drops their output.
    bool seek(std::int64_t sample);
    // The next frame's samples (interleaved, valid until the next call), gapless-trimmed.
    Status decodeFrame(const std::int16_t*& samples, std::size_t& frames);

    int sampleRate() const { return m_rate; }
    int channels() const { return m_channels; }
    // The gapless length; exact after scan().
    std::int64_t length() const;
    // MPEG-1 Layer III with two channels: the stream kind whose decode after a seek matches a
    // decode from the start sample for sample (mono and MPEG-2 depend on the synthesis phase).
    bool isMpeg1LayerIIIStereo() const;
    // Files joined end to end (a second Info frame, or more frames than the first announced):
    // libmpg123's seek maps samples with the first file's delay and padding, so a decode after a
    // seek no longer lines up with a decode from the start. Known after scan().
    bool isJoined() const;
    const std::string& errorText() const { return m_errorText; }

private:
    bool start(const std::string& path, bool gapless, std::string* error);
    bool readFormat();

    FileReader m_reader;
    mpg123_handle_struct* m_handle = nullptr;
    int m_rate = 0;
    int m_channels = 0;
    std::string m_errorText;
};

} // namespace parvex
