// The piece planner on hand-made frame indexes: the cut points of the two splits, and the
// lead-in each start gets. Decoding the pieces is piecewriter_test's part.
#include "pieceplan.h"

#include <gtest/gtest.h>

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

TEST(PlanCutStart, copiesTheFramesThatMustDecodeAndCarriesTheirReservoir)
{
    const StreamIndex index = streamOf(kMpeg1Stereo128k, 40, 300);
    const std::int64_t g = RawOffset(index.gapless);
    const CutStart start = PlanCutStart(index, 10 * 1152 + 100 - g);
    EXPECT_EQ(start.frame, 10u);
    EXPECT_EQ(start.leadInFrom, 9u);
    EXPECT_EQ(start.reservoirBytes, 300);
    EXPECT_EQ(start.silentFrames, 1);
    EXPECT_TRUE(start.phaseMatched);

    const auto pieces = PlanPieces(index, { 10 * 1152 + 100 - g, 20 * 1152 - g });
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].delay, 2 * 1152 + 100 - 529); // silent frame, frame 9, 100 samples
    EXPECT_EQ(pieces[0].endFrame, 20u);
    EXPECT_EQ(pieces[0].padding, 529);
    EXPECT_EQ(pieces[0].frames(), 12u);

    const StreamIndex noReservoir = streamOf(kMpeg1Stereo128k, 40, 0);
    EXPECT_EQ(PlanCutStart(noReservoir, 10 * 1152 - g).silentFrames, 0);
}

TEST(PlanCutStart, mpeg2MonoMatchesLibmpg123sPhaseWithinFourFramesOrSaysSo)
{
    const StreamIndex index = streamOf(kMpeg2Mono64k, 60, 100);
    const std::int64_t g = RawOffset(index.gapless);
    int unmatched = 0;
    for (std::size_t frame = 20; frame < 28; ++frame) {
        const CutStart start = PlanCutStart(index, static_cast<std::int64_t>(frame) * 576 + 7 - g);
        EXPECT_EQ(start.frame - start.leadInFrom, 2u);
        EXPECT_LE(start.decodedBefore(), CutStart::kMaxDecodedBefore);
        if (start.phaseMatched) {
            EXPECT_EQ((frame - static_cast<std::size_t>(start.decodedBefore())) % 4, 0u);
        }
        unmatched += start.phaseMatched ? 0 : 1;
    }
    EXPECT_EQ(unmatched, 4); // frames 4k + 1 and 4k + 2
    // 480 samples into a frame the synthesis window needs only the frame before.
    EXPECT_EQ(PlanCutStart(index, 21 * 576 + 500 - g).leadInFrom, 20u);
}

} // namespace
