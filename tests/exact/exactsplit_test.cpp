// SPDX-License-Identifier: GPL-3.0-or-later
// Progress and Cancel in the exact cuts: a cancel removes the piece being written (its
// temporary file), keeps finished pieces and an old output, and shows nothing. The CLI tests
// cover the pieces, refusals and failures.
#include "exactrequests.h"
#include "mp3fixture.h"
#include "recordinghost.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace parvex {

namespace fs = std::filesystem;

namespace {

// Answers cancelled() with true from its `cancelAt`-th question on (1 = the first).
class CancellingHost : public RecordingHost
{
public:
    explicit CancellingHost(int cancelAt)
        : m_cancelAt(cancelAt)
    { }

    bool cancelled() override { return ++m_asked >= m_cancelAt; }

private:
    int m_cancelAt;
    int m_asked = 0;
};

class ExactCancel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(MakeMp3(m_source, { 6.0, 44100, 2, { "-b", "128" } }, &error)) << error;
    }

    std::vector<std::string> filesInDir() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir m_dir;
    fs::path m_source = m_dir / "song.mp3";
};

// 6 s of CBR 128 in three parts: about 32 KB each, one copy block and one report a piece.
TEST_F(ExactCancel, aCancelledSplitKeepsTheFinishedPiecesAndRemovesTheOneBeingWritten)
{
    CancellingHost host(2);
    const SplitResult result = RunExactParts(m_source, m_dir.path(), 3, host);
    EXPECT_EQ(result.status, SplitStatus::Cancelled);
    EXPECT_EQ(result.written, std::vector<std::string> { (m_dir / "song_0.mp3").string() });
    EXPECT_EQ(host.calls(), (std::vector<std::string> { "busy on", "busy off" }));
    EXPECT_EQ(filesInDir(), (std::vector<std::string> { "song.mp3", "song_0.mp3" }));
    ASSERT_EQ(host.progressReports().size(), 2u);
    const auto [firstDone, firstTotal] = host.progressReports()[0];
    const auto [secondDone, secondTotal] = host.progressReports()[1];
    EXPECT_EQ(firstDone, static_cast<std::int64_t>(fs::file_size(m_dir / "song_0.mp3")));
    EXPECT_GT(secondDone, firstDone);
    EXPECT_EQ(firstTotal, secondTotal);
    EXPECT_NEAR(static_cast<double>(firstTotal), static_cast<double>(fs::file_size(m_source)),
        0.02 * static_cast<double>(fs::file_size(m_source)));
}

TEST_F(ExactCancel, aCancelledRangeCutLeavesTheOldOutputWhole)
{
    const fs::path output = m_dir / "cut.mp3";
    MakePatternFile(output, 1000);
    const auto before = ReadAll(output);
    CancellingHost host(1);
    host.answerNext(true);
    const SplitResult result = RunExactRange(m_source, { 0, 0, 1 }, { 0, 0, 5 }, output, host);
    EXPECT_EQ(result.status, SplitStatus::Cancelled);
    EXPECT_EQ(host.calls(),
        (std::vector<std::string> { "replace? " + output.string(), "busy on", "busy off" }));
    EXPECT_EQ(ReadAll(output), before);
    EXPECT_EQ(filesInDir(), (std::vector<std::string> { "cut.mp3", "song.mp3" }));
}

} // namespace

} // namespace parvex
