// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces written from plans, decoded by libmpg123 and GStreamer with gapless on: joined they give
// the source's decode bit for bit, a range gives exactly its marked samples, and each piece
// carries a true Info/LAME frame and the source's frames byte for byte.
#include "crc16.h"
#include "discovererduration.h"
#include "exactfixtures.h"
#include "gstdecode.h"
#include "infoframe.h"
#include "mp3fixture.h"
#include "pieceplan.h"
#include "piecewriter.h"
#include "streamscan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace parvex {

namespace {

class ExactPieces : public testing::TestWithParam<SourceKind>
{
protected:
    void SetUp() override
    {
        const auto path = m_dir / "source.mp3";
        std::string error;
        ASSERT_TRUE(MakeMp3(path, GetParam().options, &error)) << error;
        IndexOutcome outcome = IndexMp3Stream(path.string());
        ASSERT_TRUE(outcome.index) << IndexRefusalText(outcome.refusal);
        m_index = std::move(*outcome.index);
        m_decode = DecodeGapless(path);
        ASSERT_FALSE(m_decode.empty());
        m_gstDecode = DecodeWithGStreamer(path);
        ASSERT_EQ(m_gstDecode.size(), m_decode.size());
        const auto bytes = ReadAll(path);
        m_source.assign(bytes.begin(), bytes.end());
        m_fd = ::open(path.c_str(), O_RDONLY);
        ASSERT_GE(m_fd, 0);
    }

    void TearDown() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    std::filesystem::path write(const PiecePlan& piece)
    {
        const auto path = m_dir / ("piece-" + std::to_string(m_written++) + ".mp3");
        const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_GE(out, 0);
        const PieceWriteOutcome outcome = WritePiece(m_index, piece, m_fd, out);
        EXPECT_TRUE(outcome.written) << outcome.error;
        EXPECT_EQ(::close(out), 0);
        EXPECT_EQ(outcome.bytes, static_cast<std::int64_t>(std::filesystem::file_size(path)));
        return path;
    }

    // The piece's Info frame read back, and its frames after the silent and re-laid ones against
    // the source's.
    void checkFrames(const PiecePlan& piece, const std::filesystem::path& path)
    {
        const auto file = ReadAll(path);
        const std::vector<std::uint8_t> bytes(file.begin(), file.end());
        const auto parsed = ParseInfoFrame(bytes.data(), bytes.size());
        ASSERT_TRUE(parsed && parsed->frame.lame);
        const InfoFrame& info = parsed->frame;
        EXPECT_TRUE(parsed->frameCrcValid);
        EXPECT_TRUE(parsed->tagCrcValid);
        EXPECT_EQ(info.frames, piece.frames());
        EXPECT_EQ(info.bytes, bytes.size());
        EXPECT_EQ(info.lame->musicLength, bytes.size());
        EXPECT_TRUE(std::is_sorted(info.toc.begin(), info.toc.end()));
        EXPECT_EQ(info.lame->delay, piece.delay);
        EXPECT_EQ(info.lame->padding, piece.padding);
        EXPECT_EQ(info.lame->peak, 0u);
        const auto infoBytes = FrameHeader::parse(info.header)->frameBytes();
        const auto audio = static_cast<std::size_t>(infoBytes);
        EXPECT_EQ(info.lame->musicCrc, Crc16Arc(bytes.data() + audio, bytes.size() - audio));

        if (piece.start.firstCopied() == piece.endFrame)
            return; // the piece ends in its re-laid frame
        const IndexedFrame first = m_index.frames[piece.start.firstCopied()];
        const IndexedFrame last = m_index.frames[piece.endFrame - 1];
        const auto body
            = static_cast<std::size_t>(last.offset + last.header.frameBytes() - first.offset);
        ASSERT_GE(bytes.size(), body);
        EXPECT_TRUE(std::equal(bytes.end() - static_cast<std::ptrdiff_t>(body), bytes.end(),
            m_source.begin() + first.offset));
    }

    // Writes and decodes `piece` with libmpg123 and with GStreamer: it holds exactly the source
    // decode's samples between its ends, bit for bit. GStreamer 1.22's mpg123audiodec logs a
    // critical ("size > 0") for each decoded frame whose output lies wholly inside the delay, as
    // it does for LAME's own MPEG-2 files: every exact start has such frames (the lead-in), and
    // nothing else in a piece may draw one.
    void checkDecode(const PiecePlan& piece)
    {
        const auto path = write(piece);
        checkFrames(piece, path);
        checkSamples(piece, DecodeGapless(path), m_decode, "libmpg123");
        const int criticals = GStreamerCriticals();
        checkSamples(piece, DecodeWithGStreamer(path), m_gstDecode, "GStreamer");
        EXPECT_LE(GStreamerCriticals() - criticals, piece.start.decodedBefore());
    }

    void checkSamples(const PiecePlan& piece, const std::vector<std::int16_t>& decode,
        const std::vector<std::int16_t>& whole, const char* decoder)
    {
        ASSERT_EQ(std::ssize(decode), piece.samples() * channels()) << decoder;
        const auto source = whole.begin() + piece.start.sample * channels();
        const auto [differs, _] = std::mismatch(decode.begin(), decode.end(), source);
        EXPECT_EQ((differs - decode.begin()) / channels(), piece.samples())
            << decoder << ", piece from " << piece.start.sample << " (first difference)";
    }

    // Pieces that tile the whole gapless decode, each decoding to its share of it.
    void checkSplit(const std::vector<std::int64_t>& cuts)
    {
        const auto pieces = PlanPieces(m_index, cuts);
        ASSERT_FALSE(pieces.empty());
        EXPECT_EQ(pieces.front().start.sample, 0);
        EXPECT_EQ(pieces.back().endSample, m_index.gapless.totalSamples);
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (i > 0) {
                EXPECT_EQ(pieces[i].start.sample, pieces[i - 1].endSample);
            }
            checkDecode(pieces[i]);
        }
    }

    int channels() const { return m_index.gapless.channels; }

    TempDir m_dir;
    StreamIndex m_index;
    std::vector<std::int16_t> m_decode;
    std::vector<std::int16_t> m_gstDecode;
    std::vector<std::uint8_t> m_source;
    int m_fd = -1;
    int m_written = 0;
};

TEST_P(ExactPieces, splitsJoinIntoTheSourceDecode)
{
    const GaplessFacts& facts = m_index.gapless;
    checkSplit(PartsCuts(m_index, 7));
    checkSplit(EveryCuts(facts, 0.37));
    // Random cut points meet every reservoir depth and synthesis phase, not only round seconds.
    std::mt19937 random(7);
    std::uniform_int_distribution<std::int64_t> anywhere(1, facts.totalSamples - 1);
    std::vector<std::int64_t> cuts { 0, facts.totalSamples };
    for (int i = 0; i < 8; ++i)
        cuts.push_back(anywhere(random));
    std::sort(cuts.begin(), cuts.end());
    checkSplit(cuts);
}

// A start libmpg123's synthesis phase cannot meet (MPEG-2/2.5 mono) moves to a frame start near
// it; the end is always where it was marked.
TEST_P(ExactPieces, aRangeDecodesToExactlyItsMarkedSamples)
{
    const double rate = m_index.gapless.sampleRate;
    const std::int64_t start = std::llround(0.613 * rate);
    const std::int64_t end = std::llround(2.271 * rate);
    const auto pieces = PlanPieces(m_index, { start, end });
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].start.requestedSample, start);
    EXPECT_LT(std::abs(pieces[0].start.sample - start), 2 * m_index.gapless.samplesPerFrame);
    EXPECT_EQ(pieces[0].endSample, end);
    checkDecode(pieces[0]);
    // The lengths players show before decoding, read from the piece's Info frame.
    const auto piece = m_dir / "piece-0.mp3";
    const auto samples = static_cast<double>(pieces[0].samples());
    EXPECT_NEAR(static_cast<double>(ScanWithMpg123(piece).samples), samples, 1.0);
    const auto discovered = DiscoverDuration(piece.string());
    ASSERT_TRUE(discovered);
    EXPECT_NEAR(static_cast<double>(*discovered) / 1e7, samples / rate, 1.0 / rate);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExactPieces, testing::ValuesIn(SourceKinds()),
    [](const auto& row) { return row.param.name; });

// A piece of 5 GiB, from an index alone: 1000 frames of CBR 128, 5 MiB apart (as if the bytes
// between them had been resynced over), and the audio byte count the copy would report.
TEST(PieceInfoFrame, aPiecePastFourGibKeepsItsTocAndWritesTheLowBitsOfItsByteCount)
{
    const FrameHeader header = *FrameHeader::parse(0xFFFB9000u);
    StreamIndex index;
    constexpr std::int64_t kSpacing = std::int64_t { 5 } << 20;
    for (std::int64_t i = 0; i < 1000; ++i)
        index.frames.append(i * kSpacing, header, 0);
    PiecePlan piece;
    piece.endFrame = 1000;
    const std::uint32_t word = *InfoFrameHeader(header, true);
    const std::int64_t audio = 1000 * kSpacing;
    const auto frame = PieceInfoFrame(index, piece, word, {}, audio, 0);
    const auto parsed = ParseInfoFrame(frame.data(), frame.size());
    ASSERT_TRUE(parsed);
    const std::int64_t bytes = FrameHeader::parse(word)->frameBytes() + audio;
    ASSERT_GT(bytes, std::int64_t { 1 } << 32);
    EXPECT_EQ(parsed->frame.bytes, static_cast<std::uint32_t>(bytes - (std::int64_t { 1 } << 32)));
    EXPECT_EQ(parsed->frame.lame->musicLength, parsed->frame.bytes);
    EXPECT_EQ(parsed->frame.frames, 1000u);
    // Entry i: frame 10 i at 417 + 10 i x 5 MiB of 417 + 5000 MiB, in 256ths rounded down.
    EXPECT_EQ(parsed->frame.toc[0], 0);
    EXPECT_EQ(parsed->frame.toc[50], 128);
    EXPECT_EQ(parsed->frame.toc[99], 253);
    EXPECT_TRUE(std::is_sorted(parsed->frame.toc.begin(), parsed->frame.toc.end()));
}

} // namespace

} // namespace parvex
