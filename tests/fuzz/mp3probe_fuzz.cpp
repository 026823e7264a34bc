// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the MP3 recognition and both frame counts behind the duration probe, on any bytes.
#include "filereader.h"
#include "fuzzcheck.h"
#include "fuzztarget.h"
#include "mediatime.h"
#include "memoryfile.h"
#include "mpegframescan.h"
#include "mpegframewalk.h"
#include "mpegstreamlocator.h"

using namespace parvex;

namespace {

// No MPEG audio frame carries less than 8 kbit/s, so a stream holds at most about 1 ms of sound
// per byte; the margin covers the rounding of frame lengths and a frame's worth of delay.
bool plausibleLength(std::int64_t mediaTime, std::int64_t streamBytes)
{
    const std::int64_t perMillisecond = kMediaTimePerSecond / 1000;
    return mediaTime <= streamBytes * perMillisecond * 102 / 100 + 200 * perMillisecond;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static MemoryFile file;
    file.assign(data, size);
    FileReader reader;
    FUZZ_CHECK(reader.open(file.path()));
    const auto start = FindMpegAudioStart(reader);
    if (!start)
        return 0;
    FUZZ_CHECK(*start >= 0 && *start < reader.fileSize());
    const auto length = ScanMpegAudioLength(reader, *start);
    if (length) {
        FUZZ_CHECK(*length >= 0);
        FUZZ_CHECK(plausibleLength(*length, reader.fileSize() - *start));
    }
    // The header walk answers only where libmpg123 would give the same length.
    if (const auto walked = WalkPlainMpegLength(reader, *start))
        FUZZ_CHECK(walked == length);
    return 0;
}
