// SPDX-License-Identifier: GPL-3.0-or-later
// The piece planner on hand-made frame indexes: the cut points of the two splits, and the
// lead-in each start gets. Decoding the pieces is piecewriter_test's part.
#include "pieceplan.h"

#include <gtest/gtest.h>

namespace parvex {

namespace {

constexpr std::uint32_t kMpeg1Stereo128k = 0xFFFB9000u; // 44.1 kHz, 417 bytes
constexpr std::uint32_t kMpeg2Mono64k = 0xFFF380C0u; // 22.05 kHz, 208 bytes

// `frames` back-to-back frames of one header after `startOffset` bytes of tags, each reading
// `mainDataBegin` bytes of reservoir, with LAME's gapless facts.
StreamIndex streamOf(
    std::uint32_t word, std::size_t frames, int mainDataBegin, std::int64_t startOffset = 0)
{
    const FrameHeader header = *FrameHeader::parse(word);
    StreamIndex index;
    for (std::size_t i = 0; i < frames; ++i)
        index.frames.append(startOffset + static_cast<std::int64_t>(i) * header.frameBytes(),
            header, i == 0 ? 0 : mainDataBegin);
    index.audioEnd = startOffset + static_cast<std::int64_t>(frames) * header.frameBytes();
    GaplessFacts& facts = index.gapless;
    facts.sampleRate = header.sampleRate();
    facts.samplesPerFrame = header.samplesPerFrame();
    facts.channels = header.channels();
    facts.hasLameTag = true;
    facts.encoderDelay = 576;
    facts.encoderPadding = 1000;
    facts.totalSamples = static_cast<std::int64_t>(frames) * facts.samplesPerFrame - 576 - 1000;
    return index;
}

TEST(SplitCuts, everyKSecondsJoinsAShortRemainderToTheLastPiece)
{
    GaplessFacts facts;
    facts.sampleRate = 44100;
    facts.totalSamples = 3600 * 44100 + 500;
    const auto cuts = EveryCuts(facts, 60);
    ASSERT_EQ(cuts.size(), 61u); // 60 pieces
    EXPECT_EQ(cuts[1], 60 * 44100);
    EXPECT_EQ(cuts.back(), facts.totalSamples);

    facts.totalSamples = 3600 * 44100 + 44100;
    EXPECT_EQ(EveryCuts(facts, 60).size(), 62u); // a whole second is a piece of its own
    EXPECT_EQ(EveryCuts(facts, 7200), (std::vector<std::int64_t> { 0, facts.totalSamples }));
}

TEST(SplitCuts, partsCutAtTheFrameStartNearestEqualShareOfTheAudioBytes)
{
    // 100 frames of 417 bytes after a 10,000-byte tag: a third of the audio is 33.33 frames.
    const StreamIndex index = streamOf(kMpeg1Stereo128k, 100, 0, 10000);
    const std::int64_t g = RawOffset(index.gapless);
    const auto cuts = PartsCuts(index, 3);
    EXPECT_EQ(cuts,
        (std::vector<std::int64_t> {
            0, 33 * 1152 - g, 67 * 1152 - g, index.gapless.totalSamples }));
}

TEST(PlanCutStart, relaysTheFirstLeadInFrameWithItsReservoirOrCarriesItInASilentFrame)
{
    const StreamIndex index = streamOf(kMpeg1Stereo128k, 40, 300);
    const std::int64_t g = RawOffset(index.gapless);
    const CutStart start = PlanCutStart(index, 10 * 1152 + 100 - g);
    EXPECT_EQ(start.frame, 10u);
    EXPECT_EQ(start.leadInFrom, 9u);
    EXPECT_TRUE(start.relaid); // 300 + 381 bytes of main data fit a 320 kbit/s frame
    EXPECT_EQ(start.silentFrames, 0);
    EXPECT_EQ(start.decodedBefore(), 1);
    EXPECT_FALSE(start.moved());

    const auto pieces = PlanPieces(index, { 10 * 1152 + 100 - g, 20 * 1152 - g });
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].delay, 1152 + 100 - 529); // frame 9, 100 samples
    EXPECT_EQ(pieces[0].endFrame, 20u);
    EXPECT_EQ(pieces[0].padding, 529);
    EXPECT_EQ(pieces[0].frames(), 11u);

    // 96 samples before its end a frame's first granule is all the second one needs.
    EXPECT_EQ(PlanCutStart(index, 10 * 1152 + 1056 - g).leadInFrom, 10u);

    // 300 + 1008 bytes fit no frame: a silent frame in front carries the 300.
    const StreamIndex large = streamOf(0xFFFBE000u, 40, 300); // 320 kbit/s
    const CutStart carried = PlanCutStart(large, 10 * 1152 + 100 - g);
    EXPECT_FALSE(carried.relaid);
    EXPECT_EQ(carried.silentFrames, 1);
    EXPECT_EQ(carried.reservoirBytes, 300);

    const CutStart plain = PlanCutStart(streamOf(kMpeg1Stereo128k, 40, 0), 10 * 1152 - g);
    EXPECT_FALSE(plain.relaid);
    EXPECT_EQ(plain.silentFrames, 0);
}

// In MPEG-2/2.5 mono the frames decoded before the cut's frame, at most four, must make its
// number a multiple of 4 (see CutStart::phaseMatched). Early in a frame two must decode, so a
// frame numbered 4k + 1 cannot be met: the start moves to the nearest frame start that can.
TEST(PlanCutStart, mpeg2MonoMatchesLibmpg123sPhaseOrMovesToAFrameStart)
{
    const StreamIndex index = streamOf(kMpeg2Mono64k, 60, 100);
    const std::int64_t g = RawOffset(index.gapless);
    for (std::size_t frame = 20; frame < 28; ++frame) {
        const auto asked = static_cast<std::int64_t>(frame) * 576 + 7 - g;
        const CutStart start = PlanCutStart(index, asked);
        EXPECT_EQ(start.requestedSample, asked);
        EXPECT_TRUE(start.phaseMatched);
        EXPECT_LE(start.decodedBefore(), CutStart::kMaxDecodedBefore);
        EXPECT_EQ((start.frame - static_cast<std::size_t>(start.decodedBefore())) % 4, 0u);
        EXPECT_EQ(start.moved(), frame % 4 == 1) << frame;
        if (start.moved()) {
            EXPECT_EQ(start.sample, static_cast<std::int64_t>(frame + 1) * 576 - g);
        }
    }
    // 480 samples into a frame the synthesis window needs only the frame before: any frame
    // number can be met.
    const CutStart late = PlanCutStart(index, 21 * 576 + 500 - g);
    EXPECT_EQ(late.leadInFrom, 20u);
    EXPECT_FALSE(late.moved());

    // The piece before a moved start ends where it begins; a cut the move passed goes.
    const auto pieces = PlanPieces(
        index, { 0, 21 * 576 + 7 - g, 21 * 576 + 500 - g, index.gapless.totalSamples });
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].endSample, 22 * 576 - g);
    EXPECT_EQ(pieces[1].start.sample, 22 * 576 - g);
    EXPECT_EQ(pieces[1].endSample, index.gapless.totalSamples);
}

} // namespace

} // namespace parvex
