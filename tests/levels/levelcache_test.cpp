// SPDX-License-Identifier: GPL-3.0-or-later
// The level cache: a hit decodes nothing, a changed source or a damaged or foreign cache file is
// decoded again and its entry replaced, and the cache folder follows XDG.
#include "levelcache.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

using namespace parvex;

namespace fs = std::filesystem;

namespace {

// A source of any bytes (the stand-in decoder never reads it) and a decoder that counts calls.
class LevelCacheTest : public testing::Test
{
protected:
    void SetUp() override { std::ofstream(m_source) << "first contents"; }

    std::optional<LevelSummary> levels()
    {
        std::string error;
        return CachedLevelsIn(m_dir / "cache", m_source, {}, &error,
            [this](const std::string&, const LevelProgress&, std::string*) {
                ++m_decodes;
                LevelSummary summary;
                summary.sampleRate = 44100;
                summary.channels = 2;
                summary.blockSamples = 441;
                summary.totalSamples = 441 * 130 + 7;
                for (int b = 0; b < 131; ++b)
                    summary.blocks.push_back({ static_cast<std::int16_t>(-b * 200),
                        static_cast<std::int16_t>(b * 100 + m_decodes),
                        static_cast<std::uint16_t>(b * 3) });
                BuildCoarseLevels(summary);
                return summary;
            });
    }

    std::vector<fs::path> cacheFiles() const
    {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(m_dir / "cache"))
            files.push_back(entry.path());
        return files;
    }

    TempDir m_dir;
    fs::path m_source = m_dir / "source.mp3";
    int m_decodes = 0;
};

void expectSame(const LevelSummary& a, const LevelSummary& b)
{
    EXPECT_EQ(a.sampleRate, b.sampleRate);
    EXPECT_EQ(a.channels, b.channels);
    EXPECT_EQ(a.blockSamples, b.blockSamples);
    EXPECT_EQ(a.totalSamples, b.totalSamples);
    EXPECT_EQ(a.blocks, b.blocks);
    EXPECT_EQ(a.coarse, b.coarse);
}

} // namespace

TEST_F(LevelCacheTest, secondCallReadsTheCacheInsteadOfDecodingAndRenewsTheEntry)
{
    const auto first = levels();
    ASSERT_EQ(cacheFiles().size(), 1u);
    const fs::path entry = cacheFiles()[0];
    const auto longAgo = fs::last_write_time(entry) - std::chrono::hours(24 * 30);
    fs::last_write_time(entry, longAgo);
    const auto second = levels();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(m_decodes, 1);
    expectSame(*first, *second);
    EXPECT_GT(fs::last_write_time(entry), longAgo + std::chrono::hours(24));
}

TEST_F(LevelCacheTest, changedSourceIsDecodedAgainAndReplacesItsEntry)
{
    ASSERT_TRUE(levels());
    std::ofstream(m_source, std::ios::app) << "more";
    const auto changed = levels();
    ASSERT_TRUE(changed);
    EXPECT_EQ(m_decodes, 2);
    EXPECT_EQ(changed->blocks[1].max, 102); // the second decode's, not the cached first
    // Same size, only a newer modification time.
    fs::last_write_time(m_source, fs::last_write_time(m_source) + std::chrono::seconds(3));
    ASSERT_TRUE(levels());
    EXPECT_EQ(m_decodes, 3);
    EXPECT_EQ(cacheFiles().size(), 1u);
}

TEST_F(LevelCacheTest, damagedOrForeignCacheFileIsIgnoredAndRewritten)
{
    ASSERT_TRUE(levels());
    const fs::path entry = cacheFiles().at(0);
    std::vector<char> bytes = ReadAll(entry);
    const auto write = [&](const std::vector<char>& contents) {
        std::ofstream(entry, std::ios::binary | std::ios::trunc)
            .write(contents.data(), static_cast<std::streamsize>(contents.size()));
    };
    int expected = 1;
    // A flipped bit in a block, a torn write, a byte too many, the entry of another source
    // (the key's inode field differs), and a file of another program.
    std::vector<std::vector<char>> damaged(5, bytes);
    damaged[0][100] = static_cast<char>(damaged[0][100] ^ 0x10);
    damaged[1].resize(bytes.size() - 3);
    damaged[2].push_back(0);
    damaged[3][20] = static_cast<char>(damaged[3][20] ^ 0x01);
    damaged[4].assign({ 'h', 'e', 'l', 'l', 'o' });
    for (const auto& contents : damaged) {
        write(contents);
        ASSERT_TRUE(levels());
        EXPECT_EQ(m_decodes, ++expected);
        // Rewritten: the next call is a hit.
        ASSERT_TRUE(levels());
        EXPECT_EQ(m_decodes, expected);
    }
}

TEST_F(LevelCacheTest, unwritableCacheStillGivesTheSummary)
{
    std::ofstream(m_dir / "cache") << "a file where the folder should be";
    EXPECT_TRUE(levels());
    EXPECT_TRUE(levels());
    EXPECT_EQ(m_decodes, 2);
}

// Least recently used entries go first; the entry just written, other files and other writers'
// temporary files stay.
TEST(PruneLevelCache, removesOldestEntriesUntilUnderTheLimit)
{
    TempDir dir;
    const auto now = fs::file_time_type::clock::now();
    int age = 4;
    for (const char* name : { "levels-a.bin", "levels-b.bin", "levels-c.bin", "levels-d.bin" }) {
        std::ofstream(dir / name) << std::string(100, 'x');
        fs::last_write_time(dir / name, now - std::chrono::hours(age--));
    }
    std::ofstream(dir / "levels-e.bin.Xy12Zw") << std::string(1000, 'x');
    std::ofstream(dir / "notes.txt") << std::string(1000, 'x');
    PruneLevelCache(dir.path(), 250, dir / "levels-a.bin");
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left,
        (std::vector<std::string> {
            "levels-a.bin", "levels-d.bin", "levels-e.bin.Xy12Zw", "notes.txt" }));
}

TEST(LevelCacheFolder, followsAbsoluteXdgCacheHomeElseHome)
{
    const char* savedXdg = std::getenv("XDG_CACHE_HOME");
    const std::string xdg = savedXdg ? savedXdg : "";
    setenv("XDG_CACHE_HOME", "/var/tmp/xdg", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(LevelCacheFolder(), fs::path("/var/tmp/xdg/parvex"));
    setenv("XDG_CACHE_HOME", "relative/cache", 1);
    EXPECT_EQ(LevelCacheFolder(), fs::path("/home/someone/.cache/parvex"));
    if (savedXdg)
        setenv("XDG_CACHE_HOME", xdg.c_str(), 1);
    else
        unsetenv("XDG_CACHE_HOME");
}

// CachedLevels itself: decodes through SummariseLevels and files the entry under XDG_CACHE_HOME.
TEST(CachedLevels, decodesOnceIntoTheXdgCacheFolder)
{
    TempDir dir;
    const auto source = dir / "tone.mp3";
    ASSERT_TRUE(MakeMp3(source, { .seconds = 1 }));
    setenv("XDG_CACHE_HOME", (dir / "xdg").c_str(), 1);
    std::string error;
    const auto first = CachedLevels(source, {}, &error);
    ASSERT_TRUE(first) << error;
    ASSERT_EQ(
        std::distance(fs::directory_iterator(dir / "xdg" / "parvex"), fs::directory_iterator()), 1);
    const auto second = CachedLevels(source, {}, &error);
    ASSERT_TRUE(second) << error;
    expectSame(*first, *second);
    unsetenv("XDG_CACHE_HOME");
}
