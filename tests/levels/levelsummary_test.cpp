// SPDX-License-Identifier: GPL-3.0-or-later
// The level summary's decode: its length against libmpg123's own count, the two halves against
// one pass, what a block holds, and the refusals.
#include "levelsource.h"
#include "levelsummary.h"
#include "levelsummarydecode.h"
#include "mp3fixture.h"

#include <mpg123.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>

using namespace parvex;

namespace {

// libmpg123's gapless length through its own reader: another route to the number the summary's
// decode must reach.
std::int64_t gaplessLength(const std::filesystem::path& path)
{
    mpg123_init();
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    std::int64_t length = -1;
    if (mpg123_open(handle, path.c_str()) == MPG123_OK && mpg123_scan(handle) == MPG123_OK)
        length = mpg123_length(handle);
    mpg123_close(handle);
    mpg123_delete(handle);
    return length;
}

struct Kind
{
    const char* name;
    int sampleRate;
    std::vector<std::string> lameArgs;
    // lame wrote its delay and padding and did not resample: the decode is the PCM that went in.
    bool keepsPcmLength = true;
};

class LevelSummaryKinds : public testing::TestWithParam<Kind>
{ };

} // namespace

// Each kind: the length is libmpg123's gapless length, every sample lands in a block, and the
// decode in two halves on two threads gives the one-pass summary block for block (MPEG-1 stereo;
// a deep bit reservoir at 32 kbit/s, VBR, no Info frame).
TEST_P(LevelSummaryKinds, twoHalvesMatchOnePassAtLibmpg123sLength)
{
    TempDir dir;
    const auto path = dir / "source.mp3";
    const auto source = MakeSegmentedMp3(path,
        { { 2.3, SourceSegment::Kind::Noise, -12 }, { 1.1, SourceSegment::Kind::Silence },
            { 3.7, SourceSegment::Kind::Tone, -3 } },
        -60, GetParam().sampleRate, GetParam().lameArgs);
    ASSERT_FALSE(source.starts.empty());
    std::string error;
    const auto one = SummariseLevelsWith(path, {}, &error, LevelThreads::One);
    ASSERT_TRUE(one) << error;
    const auto two = SummariseLevelsWith(path, {}, &error, LevelThreads::Two);
    ASSERT_TRUE(two) << error;

    EXPECT_EQ(one->totalSamples, gaplessLength(path));
    if (GetParam().keepsPcmLength) {
        EXPECT_EQ(one->totalSamples, source.starts.back());
    }
    EXPECT_EQ(one->sampleRate, GetParam().sampleRate);
    EXPECT_EQ(one->channels, 2);
    EXPECT_EQ(one->blockSamples, GetParam().sampleRate / 100);
    EXPECT_EQ(
        std::ssize(one->blocks), (one->totalSamples + one->blockSamples - 1) / one->blockSamples);
    EXPECT_EQ(one->coarse.size(), (one->blocks.size() + 63) / 64);

    EXPECT_EQ(two->totalSamples, one->totalSamples);
    ASSERT_EQ(two->blocks.size(), one->blocks.size());
    for (std::size_t b = 0; b < one->blocks.size(); ++b)
        ASSERT_EQ(two->blocks[b], one->blocks[b]) << "block " << b;
}

INSTANTIATE_TEST_SUITE_P(Mpeg1Stereo, LevelSummaryKinds,
    testing::Values(Kind { "cbr128", 44100, { "-b", "128" } },
        Kind { "cbr32at48k", 48000, { "-b", "32", "--resample", "48" }, false },
        Kind { "vbr", 44100, { "-V", "2" } },
        Kind { "noInfo", 44100, { "-b", "160", "-t" }, false }),
    [](const auto& test) { return std::string(test.param.name); });

// libmpg123 seeks in files joined end to end with the first file's delay and padding, so such a
// file is decoded in one pass even where two halves were asked for.
TEST(LevelSummary, joinedFilesAreDecodedInOnePass)
{
    TempDir dir;
    ASSERT_TRUE(MakeMp3(dir / "part.mp3", { .seconds = 4, .channels = 2 }));
    const std::vector<char> part = ReadAll(dir / "part.mp3");
    {
        std::ofstream joined(dir / "joined.mp3", std::ios::binary);
        for (int i = 0; i < 3; ++i)
            joined.write(part.data(), std::ssize(part));
    }
    std::string error;
    const auto one = SummariseLevelsWith(dir / "joined.mp3", {}, &error, LevelThreads::One);
    ASSERT_TRUE(one) << error;
    const auto two = SummariseLevelsWith(dir / "joined.mp3", {}, &error, LevelThreads::Two);
    ASSERT_TRUE(two) << error;
    EXPECT_EQ(two->totalSamples, one->totalSamples);
    EXPECT_EQ(two->blocks, one->blocks);
}

// min and max over both channels, RMS of the louder one: a tone on the right channel alone
// reads at the tone's level, not 3 dB under it as a mean of the channels would.
TEST(LevelSummary, blockHoldsExtremesOfBothChannelsAndLouderChannelsRms)
{
    TempDir dir;
    const auto path = dir / "right.mp3";
    ASSERT_FALSE(MakeSegmentedMp3(path, { { 1.0, SourceSegment::Kind::RightOnly, -6 } }, -90)
                     .starts.empty());
    std::string error;
    const auto levels = SummariseLevels(path, {}, &error);
    ASSERT_TRUE(levels) << error;
    const LevelBlock& middle = levels->blocks[50];
    const double toneRms = 32767.0 * std::pow(10.0, -6.0 / 20);
    // Within 8 % (the encoder's doing): a mean over the channels would be 29 % under.
    EXPECT_NEAR(middle.rms, toneRms, toneRms * 0.08);
    EXPECT_NEAR(middle.max, toneRms * std::numbers::sqrt2, toneRms * 0.08);
    EXPECT_NEAR(middle.min, -toneRms * std::numbers::sqrt2, toneRms * 0.08);
}

TEST(LevelSummary, reportsProgressUpToOneAndStopsWhenCancelled)
{
    TempDir dir;
    const auto path = dir / "tone.mp3";
    ASSERT_TRUE(MakeMp3(path, { .seconds = 3, .channels = 2 }));
    for (const auto threads : { LevelThreads::One, LevelThreads::Two }) {
        std::vector<double> reported;
        std::string error;
        ASSERT_TRUE(SummariseLevelsWith(path, { [&](double f) {
            reported.push_back(f);
        } },
            &error, threads));
        ASSERT_FALSE(reported.empty());
        EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
        EXPECT_EQ(reported.back(), 1.0);

        const std::atomic<bool> cancel { true };
        EXPECT_FALSE(SummariseLevelsWith(path, { {}, &cancel }, &error, threads));
        EXPECT_EQ(error, "Reading the levels of " + path.string() + " was cancelled.");
    }
}

TEST(LevelSummary, refusesWhatItCannotDecodeWithASentence)
{
    TempDir dir;
    const auto text = dir / "notes.mp3";
    std::ofstream(text) << std::string(20000, 'x');
    std::string error;
    EXPECT_FALSE(SummariseLevels(text, {}, &error));
    EXPECT_EQ(error, text.string() + " is not an MPEG audio file.");

    EXPECT_FALSE(SummariseLevels(dir / "missing.mp3", {}, &error));
    EXPECT_EQ(error,
        "Cannot read " + (dir / "missing.mp3").string()
            + ": it is missing, unreadable or not a regular file.");
}
