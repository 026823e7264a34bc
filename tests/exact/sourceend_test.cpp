// SPDX-License-Identifier: GPL-3.0-or-later
// Sources whose Info frame misstates their end: a padding under 529 (other encoders), a stream
// cut short, a frame count larger than the frames held. The index gives the length libmpg123
// and GStreamer decode, and the pieces of a split join into exactly that decode.
#include "exactfixtures.h"
#include "gstdecode.h"
#include "infoframe.h"
#include "mp3fixture.h"
#include "pieceplan.h"
#include "streamscan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace parvex {

namespace {

// A change to the bytes of the lame-made source, whose index is `index`.
struct SourceChange
{
    const char* name;
    std::function<void(std::vector<char>& bytes, const StreamIndex& index)> apply;
};

// Rewrites the Info frame at the start of `bytes` (frame and tag CRCs included) after `change`.
void rewriteInfoFrame(std::vector<char>& bytes, const std::function<void(InfoFrame&)>& change)
{
    auto* frame = reinterpret_cast<std::uint8_t*>(bytes.data());
    const auto parsed = ParseInfoFrame(frame, bytes.size());
    ASSERT_TRUE(parsed && parsed->frame.lame);
    InfoFrame info = parsed->frame;
    change(info);
    const std::vector<std::uint8_t> rewritten = WriteInfoFrame(info);
    ASSERT_FALSE(rewritten.empty());
    std::memcpy(frame, rewritten.data(), rewritten.size());
}

SourceChange padding(int samples)
{
    return { "padding", [samples](std::vector<char>& bytes, const StreamIndex&) {
                rewriteInfoFrame(
                    bytes, [samples](InfoFrame& info) { info.lame->padding = samples; });
            } };
}

SourceChange cutShort(std::size_t frames)
{
    return { "cut short", [frames](std::vector<char>& bytes, const StreamIndex& index) {
                const std::int64_t end = index.frames[index.frames.size() - frames].offset;
                bytes.resize(static_cast<std::size_t>(end));
            } };
}

// The Info frame counts `more` frames than the stream holds, with `samples` of padding: past
// 529 + one frame, the decoders' end falls inside the last frame held.
SourceChange countsMore(std::uint32_t more, int samples)
{
    return { "counts more", [more, samples](std::vector<char>& bytes, const StreamIndex&) {
                rewriteInfoFrame(bytes, [more, samples](InfoFrame& info) {
                    info.frames += more;
                    info.lame->padding = samples;
                });
            } };
}

class MisstatedEnd : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(MakeMp3(m_lameMade, { 3.0, 44100, 2, { "-b", "128" } }, &error)) << error;
        const IndexOutcome outcome = IndexMp3Stream(m_lameMade.string());
        ASSERT_TRUE(outcome.index);
        m_lameIndex = *outcome.index;
        m_lameDecode = DecodeGapless(m_lameMade);
        ASSERT_FALSE(m_lameDecode.empty());
    }

    void expectDecodersLength(const SourceChange& change)
    {
        SCOPED_TRACE(change.name);
        auto bytes = ReadAll(m_lameMade);
        change.apply(bytes, m_lameIndex);
        const auto source = m_dir / "source.mp3";
        WriteBytes(source, bytes);
        const IndexOutcome outcome = IndexMp3Stream(source.string());
        ASSERT_TRUE(outcome.index) << IndexRefusalText(outcome.refusal);
        const StreamIndex& index = *outcome.index;
        const std::int64_t length = index.gapless.totalSamples;
        const auto pieces = PlanPieces(index, PartsCuts(index, 3));
        const auto folder = m_dir / ("pieces-" + std::to_string(m_sources++));
        std::filesystem::create_directory(folder);
        const auto written = WritePlannedPieces(index, pieces, source, folder);
        ASSERT_EQ(written.size(), 3u);
        for (const Decoder decode : { DecodeGapless, DecodeWithGStreamer }) {
            const auto decoded = decode(source);
            EXPECT_EQ(std::ssize(decoded), length * 2);
            // The same frames decode to the same samples from the same start: the shorter
            // decode begins the longer one.
            const std::size_t common = std::min(decoded.size(), m_lameDecode.size());
            EXPECT_TRUE(std::equal(
                decoded.begin(), decoded.begin() + std::ptrdiff_t(common), m_lameDecode.begin()));
            EXPECT_TRUE(DecodeJoined(written, decode) == decoded);
        }
    }

    TempDir m_dir;
    std::filesystem::path m_lameMade = m_dir / "lame.mp3";
    StreamIndex m_lameIndex;
    std::vector<std::int16_t> m_lameDecode;
    int m_sources = 0;
};

TEST_F(MisstatedEnd, aPaddingUnder529EndsTheDecodeAtTheLastFrame)
{
    expectDecodersLength(padding(0));
    expectDecodersLength(padding(100));
    expectDecodersLength(padding(528));
}

TEST_F(MisstatedEnd, aStreamWithFewerFramesThanItsInfoFrameCountsEndsAtItsLastFrame)
{
    expectDecodersLength(cutShort(1));
    expectDecodersLength(cutShort(10));
    expectDecodersLength(countsMore(3, m_lameIndex.gapless.encoderPadding));
    expectDecodersLength(countsMore(1, 2000));
}

} // namespace

} // namespace parvex
