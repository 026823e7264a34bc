// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the exact cuts' frame index on any bytes, and the Xing/Info frame it finds
// written back and read again.
#include "frameheader.h"
#include "fuzzcheck.h"
#include "fuzztarget.h"
#include "memoryfile.h"
#include "streamscan.h"

using namespace parvex;

namespace {

void checkFrames(const StreamIndex& index, std::int64_t fileSize)
{
    const FrameIndex& frames = index.frames;
    FUZZ_CHECK(frames.size() >= 4);
    const FrameHeader first = frames[0].header;
    std::int64_t end = frames[0].offset;
    std::int64_t frameBytes = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const IndexedFrame frame = frames[i];
        FUZZ_CHECK(frame.offset >= end);
        FUZZ_CHECK(frame.header.sameStream(first) && frame.header.layer() == 3);
        FUZZ_CHECK(frame.mainDataBegin < (first.mpeg1() ? 512 : 256));
        end = frame.offset + frame.header.frameBytes();
        frameBytes += frame.header.frameBytes();
    }
    FUZZ_CHECK(end == index.audioEnd && end <= fileSize);
    // Every byte from the end of the Info frame (or the first audio frame) to the end of the
    // last is in a frame or was resynced over.
    const std::int64_t audioStart = index.infoFrame
        ? index.infoFrameOffset + FrameHeader::parse(index.infoFrame->header)->frameBytes()
        : frames[0].offset;
    FUZZ_CHECK(frameBytes + index.skippedBytes == end - audioStart);
    FUZZ_CHECK(frames.memoryBytes() <= 16 * frames.size() + 4096);

    const GaplessFacts& gapless = index.gapless;
    FUZZ_CHECK(gapless.totalSamples >= 0);
    // The decode starts delay + 529 samples in and never ends past the last frame found; where
    // the Info frame counts the frames found and the padding covers the synthesis delay, it ends
    // `padding` samples before them.
    const std::int64_t found = static_cast<std::int64_t>(frames.size()) * gapless.samplesPerFrame;
    const std::int64_t start = gapless.hasLameTag ? gapless.encoderDelay + 529 : 0;
    FUZZ_CHECK(gapless.totalSamples <= found - start);
    const bool countsFound = index.infoFrame && (index.infoFrame->flags & InfoFrame::kFrames) != 0
        && index.infoFrame->frames == frames.size();
    if (!gapless.hasLameTag)
        FUZZ_CHECK(gapless.totalSamples == found);
    else if (countsFound && gapless.encoderPadding >= 529)
        FUZZ_CHECK(gapless.totalSamples == found - gapless.encoderDelay - gapless.encoderPadding);
}

void checkInfoFrame(const StreamIndex& index)
{
    FUZZ_CHECK(index.infoFrameOffset >= 0 && index.infoFrameOffset < index.frames[0].offset);
    const std::vector<std::uint8_t> written = WriteInfoFrame(*index.infoFrame);
    FUZZ_CHECK(!written.empty());
    const auto reread = ParseInfoFrame(written.data(), written.size());
    FUZZ_CHECK(reread && reread->frame == *index.infoFrame);
    FUZZ_CHECK(reread->frameCrcValid);
    FUZZ_CHECK(reread->tagCrcValid == index.infoFrame->lame.has_value());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static MemoryFile file;
    file.assign(data, size);
    const IndexOutcome outcome = IndexMp3Stream(file.path());
    if (!outcome.index)
        return 0;
    checkFrames(*outcome.index, static_cast<std::int64_t>(size));
    if (outcome.index->infoFrame)
        checkInfoFrame(*outcome.index);
    return 0;
}
