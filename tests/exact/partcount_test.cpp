// SPDX-License-Identifier: GPL-3.0-or-later
// An exact split into about as many parts as the source has frames: up to the frame count every
// piece holds a frame of its own and the pieces join into the source; one more is refused.
// libmpg123 only: GStreamer 1.22 trims just one end of a piece whose samples all lie within one
// decoded frame (the first piece here holds 47 samples and gives none, the last 115 and gives
// 1152), whatever the piece's layout.
#include "exactfixtures.h"
#include "exactrequests.h"
#include "mp3fixture.h"
#include "recordinghost.h"
#include "splitmessages.h"
#include "streamscan.h"

#include <gtest/gtest.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

struct Source
{
    const char* name;
    Mp3Options options;
};

class PartCountNearFrames : public testing::TestWithParam<Source>
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(MakeMp3(m_source, GetParam().options, &error)) << error;
        const IndexOutcome outcome = IndexMp3Stream(m_source.string());
        ASSERT_TRUE(outcome.index);
        m_frames = static_cast<std::int64_t>(outcome.index->frames.size());
    }

    SplitResult split(std::int64_t parts, RecordingHost& host)
    {
        const fs::path folder = m_dir / std::to_string(parts);
        fs::create_directory(folder);
        return RunExactParts(m_source, folder, parts, host);
    }

    TempDir m_dir;
    fs::path m_source = m_dir / "song.mp3";
    std::int64_t m_frames = 0;
};

// Byte shares of VBR frames meet the same frame again and again near the frame count.
TEST_P(PartCountNearFrames, everyPieceHoldsAFrameAndOneMoreThanTheFramesIsRefused)
{
    for (const std::int64_t parts : { m_frames - 1, m_frames }) {
        SCOPED_TRACE(parts);
        RecordingHost host;
        const SplitResult result = split(parts, host);
        ASSERT_EQ(result.status, SplitStatus::Done) << host.calls().back();
        ASSERT_EQ(std::ssize(result.written), parts);
        std::vector<fs::path> pieces(result.written.begin(), result.written.end());
        for (const fs::path& piece : pieces)
            EXPECT_FALSE(DecodeGapless(piece).empty()) << piece;
        EXPECT_TRUE(DecodeJoined(pieces, DecodeGapless) == DecodeGapless(m_source));
    }
    RecordingHost host;
    EXPECT_EQ(split(m_frames + 1, host).status, SplitStatus::Stopped);
    EXPECT_EQ(host.calls(),
        std::vector<std::string> { "error: " + std::string(SplitMessages::TooManyPieces) });
    EXPECT_TRUE(fs::is_empty(m_dir / std::to_string(m_frames + 1)));
}

// Half a second: 20 frames of MPEG-1.
INSTANTIATE_TEST_SUITE_P(Sources, PartCountNearFrames,
    testing::Values(Source { "Cbr128", { 0.5, 44100, 2, { "-b", "128" } } },
        Source { "VbrV2", { 0.5, 44100, 2, { "-V", "2" } } }),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace

} // namespace parvex
