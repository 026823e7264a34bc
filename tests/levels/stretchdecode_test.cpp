// SPDX-License-Identifier: GPL-3.0-or-later
// A stretch decoded from a frame a little before it, against the whole file's gapless decode at
// the same samples, for each kind of stream whose decode depends on what came before.
#include "levelsource.h"
#include "mp3fixture.h"
#include "streamscan.h"
#include "stretchdecode.h"

#include <mpg123.h>

#include <gtest/gtest.h>

using namespace parvex;

namespace {

// The whole file through libmpg123's own reader, gapless: the timeline the level summary uses.
SampleStretch wholeDecode(const std::filesystem::path& path)
{
    mpg123_init();
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_format_none(handle);
    mpg123_format2(handle, 0, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    SampleStretch whole;
    if (mpg123_open(handle, path.c_str()) == MPG123_OK) {
        long rate = 0;
        int encoding = 0;
        mpg123_getformat(handle, &rate, &whole.channels, &encoding);
        std::vector<std::int16_t> buffer(1 << 16);
        for (;;) {
            size_t bytes = 0;
            const int status = mpg123_read(handle, buffer.data(), buffer.size() * 2, &bytes);
            whole.samples.insert(
                whole.samples.end(), buffer.begin(), buffer.begin() + std::ptrdiff_t(bytes / 2));
            if (status != MPG123_OK && status != MPG123_NEW_FORMAT)
                break;
        }
    }
    mpg123_close(handle);
    mpg123_delete(handle);
    return whole;
}

struct Kind
{
    const char* name;
    int sampleRate;
    std::vector<std::string> lameArgs;
};

class StretchDecodeKinds : public testing::TestWithParam<Kind>
{ };

} // namespace

// Stretches at the start, across frame boundaries, deep inside and running past the end all hold
// the whole decode's samples there: MPEG-1 stereo, a deep bit reservoir (32 kbit/s at 48 kHz),
// VBR, mono and MPEG-2 (whose decode depends on the frames decoded before), no LAME tag.
TEST_P(StretchDecodeKinds, matchesTheWholeDecodeAtTheSameSamples)
{
    TempDir dir;
    const auto path = dir / "source.mp3";
    ASSERT_FALSE(MakeSegmentedMp3(path,
        { { 2.1, SourceSegment::Kind::Noise, -12 }, { 0.4, SourceSegment::Kind::Silence },
            { 2.7, SourceSegment::Kind::Tone, -3 } },
        -50, GetParam().sampleRate, GetParam().lameArgs)
                     .starts.empty());
    const SampleStretch whole = wholeDecode(path);
    ASSERT_GT(whole.frames(), 0);
    auto outcome = IndexMp3Stream(path.string());
    ASSERT_TRUE(outcome.index) << IndexRefusalText(outcome.refusal);
    const auto index = std::make_shared<const StreamIndex>(std::move(*outcome.index));
    const StretchSource source = StretchSourceOf(path.string(), index);
    ASSERT_EQ(source.totalSamples, whole.frames());

    const std::int64_t total = whole.frames();
    for (const std::int64_t begin : { std::int64_t { 0 }, std::int64_t { 1 }, std::int64_t { 1151 },
             std::int64_t { 40000 }, total / 2 + 577, total - 300 }) {
        std::string error;
        const auto stretch = DecodeStretch(source, begin, begin + 1500, nullptr, &error);
        ASSERT_TRUE(stretch) << error;
        ASSERT_EQ(stretch->channels, whole.channels);
        ASSERT_EQ(stretch->begin, begin);
        ASSERT_EQ(stretch->frames(), std::min<std::int64_t>(1500, total - begin)) << begin;
        for (std::int64_t i = 0; i < std::ssize(stretch->samples); ++i)
            ASSERT_EQ(stretch->samples[std::size_t(i)],
                whole.samples[std::size_t(begin * whole.channels + i)])
                << "sample " << begin + i / whole.channels << " from " << begin;
    }
    const std::atomic<bool> cancel { true };
    std::string error;
    EXPECT_FALSE(DecodeStretch(source, 0, 1000, &cancel, &error));
    EXPECT_EQ(error, "Decoding a stretch of " + path.string() + " was cancelled.");
}

INSTANTIATE_TEST_SUITE_P(Kinds, StretchDecodeKinds,
    testing::Values(Kind { "cbr128", 44100, { "-b", "128" } },
        Kind { "cbr32at48k", 48000, { "-b", "32", "--resample", "48" } },
        Kind { "vbr", 44100, { "-V", "2" } }, Kind { "mono", 44100, { "-m", "m", "-V", "2" } },
        Kind { "mpeg2", 22050, { "-b", "64", "--resample", "22.05" } },
        Kind { "mpeg2mono", 16000, { "-m", "m", "-b", "24", "--resample", "16" } },
        Kind { "noLameTag", 44100, { "-b", "160", "-t" } }),
    [](const auto& test) { return std::string(test.param.name); });
