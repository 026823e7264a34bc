// SPDX-License-Identifier: GPL-3.0-or-later
// The tags of exact pieces, read back with TagLib: the source's ID3v2 tag in its own version
// with the piece's TRCK and TLEN and without the frames that describe the whole source, the
// source's ID3v1 bytes, no APE tag; and the audio between them still joins gapless.
#include "exactfixtures.h"
#include "exactrequests.h"
#include "gstdecode.h"
#include "mp3fixture.h"
#include "recordinghost.h"
#include "sourcetags.h"
#include "streamscan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <apetag.h>
#include <attachedpictureframe.h>
#include <chapterframe.h>
#include <cmath>
#include <commentsframe.h>
#include <eventtimingcodesframe.h>
#include <fcntl.h>
#include <fstream>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <random>
#include <relativevolumeframe.h>
#include <synchronizedlyricsframe.h>
#include <tableofcontentsframe.h>
#include <textidentificationframe.h>
#include <unistd.h>

namespace parvex {

namespace fs = std::filesystem;
using namespace TagLib;

namespace {

const char* const kTitle = "Кошка 猫"; // UTF-8; neither v2.3's nor ID3v1's Latin-1 holds it
const char* const kDroppedFrames[] = { "CHAP", "CTOC", "ETCO", "SYLT", "RVA2" };

struct TaggedSource
{
    const char* name;
    Mp3Options options;
    ID3v2::Version version;
    bool withApe = false; // and TagLib's ID3v1 tag instead of lame's
};

const TaggedSource kSources[] = {
    { "CbrId3v23Id3v1", { 6.0, 44100, 1, { "-b", "128", "--add-id3v2" } }, ID3v2::v3 },
    { "VbrId3v24Id3v1Ape", { 6.0, 48000, 2, { "-V", "2", "--id3v2-only" } }, ID3v2::v4, true },
};

void writePicture(const fs::path& path)
{
    std::vector<char> bytes { '\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n' };
    std::mt19937 random(8);
    std::generate_n(std::back_inserter(bytes), 50000, [&] { return static_cast<char>(random()); });
    WriteBytes(path, bytes);
}

// What a tagger adds to the lame-made tag: a title outside Latin-1, chapters, timed frames and
// ReplayGain, of which only the album gain describes a piece as well as the source.
void addFrames(ID3v2::Tag& tag)
{
    tag.setTitle(String(kTitle, String::UTF8));
    auto* chapter = new ID3v2::ChapterFrame("ch1", 0, 2000, 0xFFFFFFFF, 0xFFFFFFFF);
    tag.addFrame(chapter);
    ByteVectorList chapters;
    chapters.append("ch1");
    tag.addFrame(new ID3v2::TableOfContentsFrame("toc", chapters));
    tag.addFrame(new ID3v2::EventTimingCodesFrame);
    auto* lyrics = new ID3v2::SynchronizedLyricsFrame;
    ID3v2::SynchronizedLyricsFrame::SynchedTextList lines;
    lines.append({ 1000, "la" });
    lyrics->setSynchedText(lines);
    tag.addFrame(lyrics);
    auto* volume = new ID3v2::RelativeVolumeFrame;
    volume->setVolumeAdjustment(-2.0f);
    tag.addFrame(volume);
    tag.addFrame(new ID3v2::UserTextIdentificationFrame("REPLAYGAIN_TRACK_GAIN", { "-3.1 dB" }));
    tag.addFrame(new ID3v2::UserTextIdentificationFrame("replaygain_track_peak", { "0.9" }));
    tag.addFrame(new ID3v2::UserTextIdentificationFrame("REPLAYGAIN_ALBUM_GAIN", { "-4.0 dB" }));
    // iTunes's gapless lengths of the source: a player reading them would trim a piece by them.
    auto* gapless = new ID3v2::CommentsFrame;
    gapless->setDescription("iTunSMPB");
    gapless->setText(" 00000000 00000210 000003C0 0000000000041EB0");
    tag.addFrame(gapless);
    auto* comment = new ID3v2::CommentsFrame;
    comment->setText("a comment");
    tag.addFrame(comment);
}

bool makeSource(const TaggedSource& kind, const fs::path& path, const fs::path& picture)
{
    Mp3Options options = kind.options;
    options.lameArgs.insert(options.lameArgs.end(),
        { "--tt", "Title", "--ta", "Artist", "--tn", "3/9", "--ti", picture.string() });
    if (!MakeMp3(path, options))
        return false;
    MPEG::File file(path.c_str());
    addFrames(*file.ID3v2Tag(true));
    if (kind.withApe)
        file.APETag(true)->setComment("a whole-source comment");
    return file.save(
        kind.withApe ? MPEG::File::AllTags : MPEG::File::ID3v2, File::StripNone, kind.version);
}

std::vector<char> lastBytes(const fs::path& path, std::size_t count)
{
    const auto bytes = ReadAll(path);
    return { bytes.end() - static_cast<std::ptrdiff_t>(std::min(count, bytes.size())),
        bytes.end() };
}

std::string text(ID3v2::Tag& tag, const char* id)
{
    const auto& frames = tag.frameListMap()[id];
    return frames.isEmpty() ? std::string() : frames.front()->toString().to8Bit(true);
}

ByteVector picture(ID3v2::Tag& tag)
{
    const auto& frames = tag.frameListMap()["APIC"];
    const auto* frame
        = frames.isEmpty() ? nullptr : dynamic_cast<ID3v2::AttachedPictureFrame*>(frames.front());
    return frame ? frame->picture() : ByteVector();
}

std::vector<std::string> userTextDescriptions(ID3v2::Tag& tag)
{
    std::vector<std::string> descriptions;
    for (auto* frame : tag.frameList("TXXX"))
        descriptions.push_back(
            dynamic_cast<ID3v2::UserTextIdentificationFrame&>(*frame).description().to8Bit(true));
    return descriptions;
}

class PieceTags : public ::testing::TestWithParam<TaggedSource>
{
protected:
    void SetUp() override
    {
        writePicture(m_dir / "cover.png");
        ASSERT_TRUE(makeSource(GetParam(), m_source, m_dir / "cover.png"));
        m_rate = GetParam().options.sampleRate;
        m_channels = GetParam().options.channels;
    }

    // The piece's tags as the source's, with `track` as TRCK and the piece's decoded length as
    // TLEN; its ID3v1 bytes the source's, but for the ID3v1.1 track number `v1Track` (0: the
    // source's).
    void expectTags(const fs::path& piece, const std::string& track, int v1Track = 0)
    {
        SCOPED_TRACE(piece.filename().string());
        MPEG::File source(m_source.c_str(), false);
        MPEG::File file(piece.c_str(), false);
        ASSERT_TRUE(file.hasID3v2Tag());
        ID3v2::Tag& tag = *file.ID3v2Tag();
        EXPECT_EQ(tag.header()->majorVersion(), static_cast<unsigned>(GetParam().version));
        EXPECT_EQ(text(tag, "TRCK"), track);
        const auto samples = static_cast<double>(DecodeGapless(piece).size()) / m_channels;
        EXPECT_EQ(std::stol(text(tag, "TLEN")), std::lround(samples * 1000 / m_rate));
        EXPECT_EQ(tag.title().to8Bit(true), kTitle);
        EXPECT_EQ(tag.artist(), "Artist");
        EXPECT_EQ(picture(tag), picture(*source.ID3v2Tag()));
        EXPECT_EQ(picture(tag).size(), 50008u);
        for (const char* id : kDroppedFrames)
            EXPECT_TRUE(tag.frameList(id).isEmpty()) << id;
        EXPECT_EQ(userTextDescriptions(tag), std::vector<std::string> { "REPLAYGAIN_ALBUM_GAIN" });
        ASSERT_EQ(tag.frameList("COMM").size(), 1u);
        EXPECT_EQ(tag.comment(), "a comment");

        ASSERT_TRUE(file.hasID3v1Tag());
        std::vector<char> id3v1 = lastBytes(m_source, 128);
        ASSERT_EQ(id3v1[125], 0); // ID3v1.1, with the source's track 3
        ASSERT_EQ(id3v1[126], 3);
        if (v1Track > 0)
            id3v1[126] = static_cast<char>(v1Track);
        EXPECT_EQ(lastBytes(piece, 128), id3v1);
        EXPECT_FALSE(file.hasAPETag());
        const auto bytes = ReadAll(piece);
        const std::string ape = "APETAGEX";
        EXPECT_EQ(std::search(bytes.begin(), bytes.end(), ape.begin(), ape.end()), bytes.end());
    }

    TempDir m_dir;
    fs::path m_source = m_dir / "song.mp3";
    int m_rate = 0;
    int m_channels = 0;
};

// The tags must not disturb either decoder's gapless trim: GStreamer's parser reads the Info
// frame behind the ID3v2 tag on its own.
TEST_P(PieceTags, everyPieceOfASplitCarriesTheSourcesTagsNumberedAndTheAudioStillJoins)
{
    ASSERT_TRUE(MPEG::File(m_source.c_str(), false).hasAPETag() == GetParam().withApe);
    RecordingHost host;
    const fs::path out = m_dir / "out";
    fs::create_directory(out);
    ASSERT_EQ(RunExactParts(m_source, out, 3, host).status, SplitStatus::Done);
    using Decoder = std::vector<std::int16_t> (*)(const fs::path&);
    const Decoder decoders[] = { DecodeGapless, DecodeWithGStreamer };
    std::vector<std::int16_t> joined[2];
    for (int i = 0; i < 3; ++i) {
        const fs::path piece = out / ("song_" + std::to_string(i) + ".mp3");
        expectTags(piece, std::to_string(i + 1) + "/3", i + 1);
        for (int d = 0; d < 2; ++d) {
            const auto samples = decoders[d](piece);
            joined[d].insert(joined[d].end(), samples.begin(), samples.end());
        }
    }
    for (int d = 0; d < 2; ++d) {
        const auto source = decoders[d](m_source);
        ASSERT_FALSE(source.empty()) << d;
        EXPECT_TRUE(joined[d] == source) << (d == 0 ? "libmpg123" : "GStreamer");
    }
}

TEST_P(PieceTags, aRangeKeepsTheSourcesTrackNumber)
{
    RecordingHost host;
    host.answerNext(true);
    const fs::path cut = m_dir / "cut.mp3";
    ASSERT_EQ(
        RunExactRange(m_source, { 0, 0, 1 }, { 0, 0, 4 }, cut, host).status, SplitStatus::Done);
    expectTags(cut, "3/9");
    const auto source = DecodeGapless(m_source);
    const auto frame = [&](int seconds) {
        return source.begin() + seconds * m_rate * m_channels;
    };
    EXPECT_TRUE(DecodeGapless(cut) == std::vector<std::int16_t>(frame(1), frame(4)));
}

// Titles from a sheet or a chapter, in the source's tag version (UTF-16 in v2.3).
TEST_P(PieceTags, aPiecesOwnTitlePerformerAndAlbumReplaceTheSources)
{
    const int fd = ::open(m_source.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    const auto indexed = IndexMp3Stream(fd, std::nullopt);
    ASSERT_TRUE(indexed.index);
    const std::string title = "Zwölf – 十二";
    const PieceTagBytes bytes
        = ReadSourceTags(fd, *indexed.index).forPiece({ 1, 2, 1000, title, "Band", "" });
    ::close(fd);
    const fs::path tagOnly = m_dir / "tag.mp3";
    WriteBytes(tagOnly, bytes.id3v2);
    MPEG::File file(tagOnly.c_str(), false);
    ASSERT_TRUE(file.hasID3v2Tag());
    const ID3v2::Tag& tag = *file.ID3v2Tag();
    EXPECT_EQ(tag.header()->majorVersion(), static_cast<unsigned>(GetParam().version));
    EXPECT_EQ(tag.title().to8Bit(true), title);
    EXPECT_EQ(tag.artist(), "Band");
    EXPECT_EQ(tag.album(), MPEG::File(m_source.c_str(), false).ID3v2Tag()->album());
}

INSTANTIATE_TEST_SUITE_P(Sources, PieceTags, ::testing::ValuesIn(kSources),
    [](const auto& param) { return std::string(param.param.name); });

// A split's piece n of N says n in an ID3v1.1 tag's track byte as in TRCK, past 255 (where one
// byte cannot) no track; an ID3v1.0 tag's comment runs through that byte and stays whole.
TEST(PieceId3v1, aSplitsPieceCarriesItsNumberWhereTheSourcesTagHasATrack)
{
    TempDir dir;
    const auto withTag = [&](const std::string& comment, char track) {
        std::vector<char> bytes(1000, '\0');
        std::vector<char> tag(128, '\0');
        std::copy_n("TAGTitle", 8, tag.begin());
        std::copy(comment.begin(), comment.end(), tag.begin() + 97);
        tag[126] = track;
        bytes.insert(bytes.end(), tag.begin(), tag.end());
        const fs::path path = dir / "tagged.mp3";
        WriteBytes(path, bytes);
        return path;
    };
    const auto id3v1Of = [](const fs::path& path, int number) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        EXPECT_GE(fd, 0);
        SourceTags tags(fd, 0, 1000);
        const std::vector<char> id3v1
            = tags.forPiece({ number, std::max(number, 3), 0, {}, {}, {} }).id3v1;
        ::close(fd);
        return id3v1;
    };
    const fs::path v11 = withTag("a comment", 7);
    const std::vector<char> source = lastBytes(v11, 128);
    for (const auto& [number, track] : { std::pair { 0, 7 }, { 2, 2 }, { 255, 255 }, { 256, 0 } }) {
        std::vector<char> expected = source;
        expected[126] = static_cast<char>(track);
        EXPECT_EQ(id3v1Of(v11, number), expected) << number;
    }
    const fs::path v10 = withTag("a comment of thirty characters", 's');
    EXPECT_EQ(id3v1Of(v10, 2), lastBytes(v10, 128));
}

// Sources whose ID3v2 tag is missing or cannot be read give pieces without one, with the
// ID3v1 tag still copied and the audio whole.
TEST(PieceTagsWithout, anId3v2TagTheSourceLacksOrThatIsDamagedIsNotWritten)
{
    TempDir dir;
    const fs::path v1Only = dir / "v1.mp3";
    ASSERT_TRUE(MakeMp3(v1Only, { 4.0, 44100, 1, { "-b", "96", "--id3v1-only", "--tt", "T" } }));
    const fs::path damaged = dir / "damaged.mp3";
    ASSERT_TRUE(MakeMp3(damaged, { 4.0, 44100, 1, { "-b", "96", "--add-id3v2", "--tt", "T" } }));
    auto bytes = ReadAll(damaged);
    ASSERT_EQ(std::string(bytes.data(), 3), "ID3");
    std::fill(bytes.begin() + 10, bytes.begin() + 40, '\xFF'); // the first frame's header on
    WriteBytes(damaged, bytes);

    for (const fs::path& source : { v1Only, damaged }) {
        SCOPED_TRACE(source.filename().string());
        RecordingHost host;
        const fs::path out = dir / (source.stem().string() + "-pieces");
        fs::create_directory(out);
        ASSERT_EQ(RunExactParts(source, out, 2, host).status, SplitStatus::Done);
        std::vector<std::int16_t> joined;
        for (int i = 0; i < 2; ++i) {
            const fs::path piece
                = out / (source.stem().string() + "_" + std::to_string(i) + ".mp3");
            EXPECT_NE(std::string(ReadAll(piece).data(), 3), "ID3");
            std::vector<char> id3v1 = lastBytes(source, 128);
            id3v1[126] = static_cast<char>(i + 1); // lame's ID3v1.1 tag, without a track
            EXPECT_EQ(lastBytes(piece, 128), id3v1);
            const auto decoded = DecodeGapless(piece);
            joined.insert(joined.end(), decoded.begin(), decoded.end());
        }
        EXPECT_TRUE(joined == DecodeGapless(source));
    }
}

} // namespace

} // namespace parvex
