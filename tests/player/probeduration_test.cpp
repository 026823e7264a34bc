// SPDX-License-Identifier: GPL-3.0-or-later
// ProbeDuration: exact MP3 lengths from a frame scan, other audio through GStreamer, and
// clean failures for everything that is not audio.
#include "mediatime.h"
#include "mp3fixture.h"
#include "probeduration.h"

#include <gst/gst.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace parvex {

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<char>;

constexpr double kSeconds = 65.9; // far from a whole-second boundary either way

void writeFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void putBigEndian(Bytes& out, std::uint32_t v, int shift = 8)
{
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<char>((v >> (i * shift)) & ((1u << shift) - 1)));
}

void putLittleEndian(Bytes& out, std::uint32_t v, int bytes = 4)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putText(Bytes& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
}

// Pseudo-random bytes: a picture or junk full of 0xFF bytes that look like frame syncs.
Bytes noise(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<char>(generator() & 0xFF);
    return bytes;
}

// An ID3v2.3 tag holding one APIC frame with `picture` as the image data.
Bytes id3v2WithPicture(const Bytes& picture)
{
    Bytes frame;
    putText(frame, std::string("\0image/jpeg\0\x03\0", 14));
    frame = frame + picture;
    Bytes tag;
    putText(tag, "ID3");
    tag.insert(tag.end(), { 3, 0, 0 });
    putBigEndian(tag, static_cast<std::uint32_t>(frame.size() + 10), 7); // 7-bit "syncsafe"
    putText(tag, "APIC");
    putBigEndian(tag, static_cast<std::uint32_t>(frame.size()));
    tag.insert(tag.end(), { 0, 0 });
    return tag + frame;
}

// An APEv2 tag (header, one binary item, footer) as taggers append it after the audio.
Bytes apeTag(const Bytes& value)
{
    Bytes items;
    putLittleEndian(items, static_cast<std::uint32_t>(value.size()));
    putLittleEndian(items, 2); // binary
    putText(items, std::string("Cover Art (Front)\0", 18));
    items = items + value;
    const auto block = [&](std::uint32_t flags) {
        Bytes b;
        putText(b, "APETAGEX");
        putLittleEndian(b, 2000);
        putLittleEndian(b, static_cast<std::uint32_t>(items.size() + 32));
        putLittleEndian(b, 1);
        putLittleEndian(b, flags);
        b.resize(b.size() + 8, 0);
        return b;
    };
    return block(0xA0000000u) + items + block(0x80000000u);
}

// 16-bit mono PCM in a RIFF/WAVE file; the samples are deliberately noisy.
Bytes wav(std::uint32_t sampleRate, std::uint32_t samples)
{
    const Bytes pcm = noise(samples * 2u, 7);
    Bytes out;
    putText(out, "RIFF");
    putLittleEndian(out, static_cast<std::uint32_t>(36 + pcm.size()));
    putText(out, "WAVEfmt ");
    putLittleEndian(out, 16);
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, sampleRate);
    putLittleEndian(out, sampleRate * 2);
    putLittleEndian(out, 2, 2);
    putLittleEndian(out, 16, 2);
    putText(out, "data");
    putLittleEndian(out, static_cast<std::uint32_t>(pcm.size()));
    return out + pcm;
}

std::int64_t mediaTime(double seconds)
{
    return static_cast<std::int64_t>(seconds * kMediaTimePerSecond + 0.5);
}

class ProbeDurationTest : public testing::Test
{
protected:
    fs::path encode(const std::string& name, Mp3Options options)
    {
        const fs::path path = m_dir / name;
        std::string error;
        EXPECT_TRUE(MakeMp3(path, options, &error)) << error;
        return path;
    }

    fs::path encodeVbrWithoutXing(const std::string& name, double seconds = kSeconds)
    {
        return encode(name, { .seconds = seconds, .lameArgs = { "-V", "2", "-t" } });
    }

    TempDir m_dir;
};

} // namespace

struct Encoding
{
    const char* name;
    int sampleRate;
    int channels;
    std::vector<std::string> lameArgs;
    bool hasInfoTag; // LAME header: delay and padding are known, so the length is exact
};

void PrintTo(const Encoding& encoding, std::ostream* out)
{
    *out << encoding.name;
}

class ProbeDurationEncoding : public ProbeDurationTest, public testing::WithParamInterface<Encoding>
{ };

TEST_P(ProbeDurationEncoding, measuresExactLengthOnEveryRun)
{
    const Encoding& e = GetParam();
    const fs::path mp3 = encode("song.mp3",
        { .seconds = kSeconds,
            .sampleRate = e.sampleRate,
            .channels = e.channels,
            .lameArgs = e.lameArgs });

    const auto first = ProbeMediaTime(mp3);
    ASSERT_TRUE(first.has_value());
    if (e.hasInfoTag) {
        EXPECT_EQ(*first, mediaTime(kSeconds));
    } else {
        // Without a LAME header the encoder delay and the last frame's padding stay in.
        EXPECT_GE(*first, mediaTime(kSeconds));
        EXPECT_LE(*first, mediaTime(kSeconds) + MediaTimeFromSamples(3 * 1152, e.sampleRate));
    }
    EXPECT_EQ(ProbeDuration(mp3), 65);
    for (int run = 0; run < 3; ++run)
        EXPECT_EQ(ProbeMediaTime(mp3), first);
}

INSTANTIATE_TEST_SUITE_P(Lame, ProbeDurationEncoding,
    testing::Values(Encoding { "Cbr", 44100, 1, { "-b", "128" }, true },
        Encoding { "CbrWithoutInfoTag", 44100, 1, { "-b", "128", "-t" }, false },
        Encoding { "Vbr", 44100, 1, { "-V", "2" }, true },
        Encoding { "VbrWithoutXing", 44100, 1, { "-V", "2", "-t" }, false },
        Encoding { "Stereo48kHz", 48000, 2, { "-V", "0" }, true },
        Encoding { "Mpeg2At22kHzWithoutXing", 22050, 2, { "-b", "64", "-t" }, false }),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ProbeDurationTest, tagsAroundTheAudioDoNotChangeTheLength)
{
    const fs::path plain = encodeVbrWithoutXing("plain.mp3");
    const Bytes audio = ReadAll(plain);
    const auto expected = ProbeMediaTime(plain);
    ASSERT_TRUE(expected.has_value());

    // The picture is noise full of false frame syncs; the padding is common after tags.
    const Bytes picture = noise(200 * 1024, 1);
    writeFile(m_dir / "picture.mp3", id3v2WithPicture(picture) + audio);
    writeFile(m_dir / "padded.mp3", id3v2WithPicture({}) + Bytes(3000, 0) + audio);
    writeFile(m_dir / "ape.mp3", audio + apeTag(picture));
    writeFile(m_dir / "all.mp3", id3v2WithPicture(picture) + audio + apeTag(picture));
    for (const char* name : { "picture.mp3", "padded.mp3", "ape.mp3", "all.mp3" })
        EXPECT_EQ(ProbeMediaTime(m_dir / name), expected) << name;

    const fs::path id3v1 = encode("id3v1.mp3",
        { .seconds = kSeconds, .lameArgs = { "-V", "2", "-t", "--id3v1-only", "--tt", "x" } });
    EXPECT_EQ(fs::file_size(id3v1), audio.size() + 128);
    EXPECT_EQ(ProbeMediaTime(id3v1), expected);
}

TEST_F(ProbeDurationTest, countsFramesWhenInfoTagIsStale)
{
    // The first piece of a byte-range cut keeps the Info header that announces the whole file.
    const fs::path whole
        = encode("whole.mp3", { .seconds = kSeconds, .lameArgs = { "-b", "128" } });
    Bytes bytes = ReadAll(whole);
    bytes.resize(bytes.size() / 2);
    writeFile(m_dir / "half.mp3", bytes);

    EXPECT_EQ(ProbeDuration(m_dir / "half.mp3"), 32); // 32.95 s of 128 kbit/s frames
}

TEST_F(ProbeDurationTest, damageInTheMiddleDoesNotEndTheCount)
{
    const Bytes audio = ReadAll(encodeVbrWithoutXing("plain.mp3"));
    const auto middle = audio.begin() + std::ssize(audio) / 2;
    writeFile(m_dir / "zeros.mp3",
        Bytes(audio.begin(), middle) + Bytes(20000, 0) + Bytes(middle, audio.end()));
    // Joined files: the first one's Info header announces only its own frames.
    const Bytes tagged
        = ReadAll(encode("tagged.mp3", { .seconds = kSeconds, .lameArgs = { "-V", "2" } }));
    writeFile(m_dir / "joined.mp3", tagged + tagged);

    EXPECT_EQ(ProbeDuration(m_dir / "zeros.mp3"), 65);
    EXPECT_EQ(ProbeDuration(m_dir / "joined.mp3"), 131);
}

TEST_F(ProbeDurationTest, fileShorterThanOneSecondIsZero)
{
    EXPECT_EQ(ProbeDuration(encodeVbrWithoutXing("short.mp3", 0.4)), 0);
}

TEST_F(ProbeDurationTest, wavIsMeasuredByGStreamer)
{
    if (GstElementFactory* factory = gst_element_factory_find("wavparse"))
        gst_object_unref(factory);
    else
        GTEST_SKIP() << "GStreamer's wavparse plugin (gstreamer1.0-plugins-good) is missing";
    // Noise as PCM holds chance frame headers: it must not be taken for MP3.
    writeFile(m_dir / "tone.wav", wav(44100, 2906190));

    EXPECT_EQ(ProbeMediaTime(m_dir / "tone.wav"), mediaTime(kSeconds));
    EXPECT_EQ(ProbeDuration(m_dir / "tone.wav"), 65);
}

TEST_F(ProbeDurationTest, failsForAnythingThatIsNotAudio)
{
    // Pairs of chained frame headers (128 kbit/s, 44.1 kHz: 417 bytes apart) in noise: a
    // resyncing parser finds "frames" all through the file.
    const Bytes frameHeader { '\xFF', '\xFB', '\x90', '\x64' };
    Bytes sprinkled = noise(300 * 1024, 3);
    for (std::ptrdiff_t at = 0; at + 417 + 4 < std::ssize(sprinkled); at += 1000) {
        std::copy(frameHeader.begin(), frameHeader.end(), sprinkled.begin() + at);
        std::copy(frameHeader.begin(), frameHeader.end(), sprinkled.begin() + at + 417);
    }
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "Not a song at all.\n";

    writeFile(m_dir / "random.mp3", noise(300 * 1024, 2));
    writeFile(m_dir / "sprinkled.mp3", sprinkled);
    writeFile(m_dir / "text.mp3", Bytes(text.begin(), text.end()));
    writeFile(m_dir / "empty.mp3", {});
    fs::create_directory(m_dir / "folder.mp3");
    ASSERT_EQ(mkfifo((m_dir / "fifo.mp3").c_str(), 0600), 0); // must not block on open

    for (const char* name : { "random.mp3", "sprinkled.mp3", "text.mp3", "empty.mp3", "folder.mp3",
             "fifo.mp3", "missing.mp3" })
        EXPECT_EQ(ProbeDuration(m_dir / name), std::nullopt) << name;
}

} // namespace parvex
