// SPDX-License-Identifier: GPL-3.0-or-later
// The frame index against libmpg123's own scan of the same LAME-made files, and its refusals.
#include "exactfixtures.h"
#include "filereader.h"
#include "mp3fixture.h"
#include "mpegframescan.h"
#include "mpegframewalk.h"
#include "mpegstreamlocator.h"
#include "streamscan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/stat.h>
#include <tuple>

namespace parvex {

namespace {

std::vector<std::int64_t> offsetsOf(const FrameIndex& frames)
{
    std::vector<std::int64_t> offsets;
    for (std::size_t i = 0; i < frames.size(); ++i)
        offsets.push_back(frames[i].offset);
    return offsets;
}

class FrameIndexOfLameSource : public testing::TestWithParam<SourceKind>
{
protected:
    TempDir m_dir;
};

TEST_P(FrameIndexOfLameSource, agreesWithLibmpg123)
{
    const SourceKind& kind = GetParam();
    const auto path = m_dir / "source.mp3";
    std::string error;
    ASSERT_TRUE(MakeMp3(path, kind.options, &error)) << error;

    const IndexOutcome outcome = IndexMp3Stream(path.string());
    ASSERT_TRUE(outcome.index) << IndexRefusalText(outcome.refusal);
    const StreamIndex& index = *outcome.index;
    const Mpg123View oracle = ScanWithMpg123(path);
    ASSERT_FALSE(oracle.frameOffsets.empty());

    EXPECT_EQ(offsetsOf(index.frames), oracle.frameOffsets);
    EXPECT_EQ(index.infoFrameOffset, kind.hasInfoFrame ? 0 : -1);
    EXPECT_EQ(index.gapless.hasLameTag, kind.hasInfoFrame);
    EXPECT_EQ(index.gapless.encoderDelay, kind.hasInfoFrame ? oracle.delay : 0);
    EXPECT_EQ(index.gapless.encoderPadding, kind.hasInfoFrame ? oracle.padding : 0);
    EXPECT_EQ(index.gapless.totalSamples, oracle.samples);
    EXPECT_EQ(index.gapless.sampleRate, kind.options.sampleRate);
    EXPECT_EQ(index.gapless.channels, kind.options.channels);
    EXPECT_EQ(index.gapless.samplesPerFrame, kind.options.sampleRate >= 32000 ? 1152 : 576);
    EXPECT_EQ(index.audioEnd, static_cast<std::int64_t>(std::filesystem::file_size(path)));
    EXPECT_EQ(index.skippedBytes, 0);
    EXPECT_LE(index.frames.memoryBytes(), 16 * index.frames.size());
}

INSTANTIATE_TEST_SUITE_P(Kinds, FrameIndexOfLameSource, testing::ValuesIn(SourceKinds()),
    [](const auto& row) { return row.param.name; });

class FrameIndexScan : public testing::Test
{
protected:
    // A CBR 128 stereo source of `seconds` as bytes.
    std::vector<char> lameBytes(double seconds, int sampleRate = 44100,
        std::vector<std::string> lameArgs = { "-b", "128" }, int channels = 2)
    {
        const auto path = m_dir / ("lame-" + std::to_string(m_made++) + ".mp3");
        std::string error;
        EXPECT_TRUE(MakeMp3(path, { seconds, sampleRate, channels, lameArgs }, &error)) << error;
        return ReadAll(path);
    }

    IndexOutcome indexOf(const std::vector<char>& bytes)
    {
        WriteBytes(m_dir / "source.mp3", bytes);
        return IndexMp3Stream((m_dir / "source.mp3").string());
    }

    TempDir m_dir;
    int m_made = 0;
};

// ID3v2.4 with one TIT2 frame (size as a syncsafe integer), an APEv2 tag with header and footer
// and no items, and an ID3v1 tag: the tags exact cuts meet around the audio.
std::vector<char> id3v24Tag()
{
    const std::string header { "ID3\x04\0\0\0\0\0\x15", 10 };
    const std::string title { "TIT2\0\0\0\x0b\0\0\x03Parvex mp3", 21 };
    const std::string tag = header + title;
    return { tag.begin(), tag.end() };
}

std::vector<char> apeTag()
{
    const auto block = [](char flagsHigh) {
        std::vector<char> b { 'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X', char(0xD0), 7, 0, 0, 32, 0, 0,
            0, 0, 0, 0, 0, 0, 0, 0, flagsHigh };
        b.resize(32, 0);
        return b;
    };
    std::vector<char> tag = block(char(0xA0));
    const auto footer = block(char(0x80));
    tag.insert(tag.end(), footer.begin(), footer.end());
    return tag;
}

TEST_F(FrameIndexScan, leavesOutTagsAroundTheAudio)
{
    const std::vector<char> audio = lameBytes(2.0);
    std::vector<char> tagged = id3v24Tag();
    tagged.insert(tagged.end(), audio.begin(), audio.end());
    const auto ape = apeTag();
    tagged.insert(tagged.end(), ape.begin(), ape.end());
    std::vector<char> id3v1(128, 0);
    std::memcpy(id3v1.data(), "TAGParvex", 9);
    tagged.insert(tagged.end(), id3v1.begin(), id3v1.end());

    const IndexOutcome plain = indexOf(audio);
    const IndexOutcome outcome = indexOf(tagged);
    ASSERT_TRUE(plain.index && outcome.index);
    const auto tagBytes = static_cast<std::int64_t>(id3v24Tag().size());
    EXPECT_EQ(outcome.index->infoFrameOffset, tagBytes);
    EXPECT_EQ(outcome.index->audioEnd, tagBytes + std::ssize(audio));
    std::vector<std::int64_t> shifted = offsetsOf(plain.index->frames);
    for (auto& offset : shifted)
        offset += tagBytes;
    EXPECT_EQ(offsetsOf(outcome.index->frames), shifted);
    EXPECT_EQ(offsetsOf(outcome.index->frames), ScanWithMpg123(m_dir / "source.mp3").frameOffsets);
}

TEST_F(FrameIndexScan, resyncsOverDamageBetweenFramesAsLibmpg123Does)
{
    const std::vector<char> audio = lameBytes(2.0);
    const IndexOutcome plain = indexOf(audio);
    ASSERT_TRUE(plain.index);
    const auto cut = static_cast<std::size_t>(plain.index->frames[20].offset);
    std::vector<char> damaged(audio.begin(), audio.begin() + std::ptrdiff_t(cut));
    for (int i = 0; i < 1000; ++i)
        damaged.push_back(static_cast<char>(i * 7 % 251));
    damaged.insert(damaged.end(), audio.begin() + std::ptrdiff_t(cut), audio.end());

    const IndexOutcome outcome = indexOf(damaged);
    ASSERT_TRUE(outcome.index) << IndexRefusalText(outcome.refusal);
    EXPECT_EQ(outcome.index->skippedBytes, 1000);
    EXPECT_EQ(outcome.index->frames.size(), plain.index->frames.size());
    EXPECT_EQ(offsetsOf(outcome.index->frames), ScanWithMpg123(m_dir / "source.mp3").frameOffsets);
}

// A last frame cut 20 bytes short, alone or followed by tags whose bytes would complete it.
TEST_F(FrameIndexScan, endsAtTheLastWholeFrameBeforeTheTags)
{
    const std::vector<char> audio = lameBytes(2.0);
    const IndexOutcome plain = indexOf(audio);
    ASSERT_TRUE(plain.index);
    const IndexedFrame last = plain.index->frames[plain.index->frames.size() - 1];
    const std::vector<char> truncated(
        audio.begin(), audio.begin() + std::ptrdiff_t(last.offset + last.header.frameBytes() - 20));
    std::vector<char> id3v1(128, 0);
    std::memcpy(id3v1.data(), "TAGParvex", 9);
    std::vector<char> withId3v1 = truncated;
    withId3v1.insert(withId3v1.end(), id3v1.begin(), id3v1.end());
    std::vector<char> withApe = truncated;
    const auto ape = apeTag();
    withApe.insert(withApe.end(), ape.begin(), ape.end());

    for (const auto& bytes : { truncated, withId3v1, withApe }) {
        const IndexOutcome outcome = indexOf(bytes);
        ASSERT_TRUE(outcome.index);
        EXPECT_EQ(outcome.index->frames.size(), plain.index->frames.size() - 1);
        EXPECT_EQ(outcome.index->audioEnd, last.offset);
    }
    // libmpg123 agrees where no tag follows; before a tag it decodes the cut frame with the
    // tag's bytes as its end.
    const IndexOutcome untagged = indexOf(truncated);
    ASSERT_TRUE(untagged.index);
    EXPECT_EQ(offsetsOf(untagged.index->frames), ScanWithMpg123(m_dir / "source.mp3").frameOffsets);
}

// Four Layer II frames (MPEG-1, 128 kbit/s, 44.1 kHz: 417 bytes) of silence.
std::vector<char> layer2Stream()
{
    std::vector<char> bytes;
    for (int i = 0; i < 6; ++i) {
        std::vector<char> frame(417, 0);
        frame[0] = char(0xFF);
        frame[1] = char(0xFD);
        frame[2] = char(0x80);
        frame[3] = char(0xC4);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}

TEST_F(FrameIndexScan, refusesWhatItCannotServe)
{
    std::vector<char> text(20000, 'x');
    EXPECT_EQ(indexOf(text).refusal, IndexRefusal::NotMpegAudio);

    EXPECT_EQ(indexOf(layer2Stream()).refusal, IndexRefusal::NotLayer3);

    const std::vector<char> audio = lameBytes(1.0);
    const IndexOutcome plain = indexOf(audio);
    ASSERT_TRUE(plain.index);
    const std::vector<char> threeFrames(
        audio.begin(), audio.begin() + std::ptrdiff_t(plain.index->frames[3].offset));
    EXPECT_EQ(indexOf(threeFrames).refusal, IndexRefusal::TooFewFrames);

    std::vector<char> joined = audio;
    const std::vector<char> other = lameBytes(1.0, 48000);
    joined.insert(joined.end(), other.begin(), other.end());
    EXPECT_EQ(indexOf(joined).refusal, IndexRefusal::FormatChanges);

    std::filesystem::create_directory(m_dir / "folder");
    EXPECT_EQ(IndexMp3Stream((m_dir / "folder").string()).refusal, IndexRefusal::Unreadable);
    ASSERT_EQ(mkfifo((m_dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(IndexMp3Stream((m_dir / "fifo").string()).refusal, IndexRefusal::Unreadable);
}

TEST_F(FrameIndexScan, refusesFreeFormatBitrates)
{
    const auto path = m_dir / "free.mp3";
    std::string error;
    ASSERT_TRUE(MakeMp3(path, { 1.0, 44100, 2, { "--freeformat", "-b", "128" } }, &error)) << error;
    const IndexOutcome outcome = IndexMp3Stream(path.string());
    EXPECT_FALSE(outcome.index);
    EXPECT_EQ(outcome.refusal, IndexRefusal::FreeFormat);
}

// The duration probe's header walk against libmpg123's scan of the same bytes: the same length
// wherever the walk answers, and no answer where the headers alone cannot say.
TEST_F(FrameIndexScan, probeHeaderWalkAnswersOnlyWithLibmpg123sLength)
{
    const auto lengths = [&](const std::vector<char>& bytes) {
        WriteBytes(m_dir / "probe.mp3", bytes);
        FileReader reader;
        EXPECT_TRUE(reader.open((m_dir / "probe.mp3").string()));
        const auto start = FindMpegAudioStart(reader);
        EXPECT_TRUE(start);
        const auto walked = start ? WalkPlainMpegLength(reader, *start) : std::nullopt;
        return std::pair { walked, start ? ScanMpegAudioLength(reader, *start) : std::nullopt };
    };
    const std::vector<char> id3v1 = [] {
        std::vector<char> tag(128, 0);
        std::memcpy(tag.data(), "TAGParvex", 9);
        return tag;
    }();
    const auto joined = [](std::vector<std::vector<char>> parts) {
        std::vector<char> bytes;
        for (const auto& part : parts)
            bytes.insert(bytes.end(), part.begin(), part.end());
        return bytes;
    };
    for (const auto& [rate, channels, args] :
        std::vector<std::tuple<int, int, std::vector<std::string>>> {
            { 44100, 2, { "-V", "2", "-t" } }, { 48000, 1, { "-b", "64", "-t" } },
            { 22050, 2, { "-V", "4", "-t" } }, { 11025, 1, { "-b", "32", "-t" } } }) {
        const std::vector<char> plain = lameBytes(2.0, rate, args, channels);
        for (const auto& bytes : { plain, joined({ id3v24Tag(), plain, apeTag(), id3v1 }) }) {
            const auto [walked, scanned] = lengths(bytes);
            EXPECT_TRUE(walked) << rate;
            EXPECT_EQ(walked, scanned) << rate;
        }
    }

    const std::vector<char> plain = lameBytes(2.0, 44100, { "-b", "128", "-t" });
    const std::vector<char> damaged = joined({ { plain.begin(), plain.begin() + 4180 },
        std::vector<char>(700, 'x'), { plain.begin() + 4180, plain.end() } });
    const std::vector<char> cutShort(plain.begin(), plain.end() - 20);
    const std::vector<char> trailingJunk = joined({ plain, std::vector<char>(300, 'x') });
    for (const auto& bytes : { lameBytes(2.0), damaged, cutShort, trailingJunk }) {
        const auto [walked, scanned] = lengths(bytes);
        EXPECT_FALSE(walked);
        EXPECT_TRUE(scanned);
    }
}

} // namespace

} // namespace parvex
