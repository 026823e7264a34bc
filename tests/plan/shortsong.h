// SPDX-License-Identifier: GPL-3.0-or-later
// The plan tests' source: 6.5 s of 16 kHz mono, encoded once per test process.
#pragma once

#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace parvex {

// Whole-second length 6, real length 6.5 s.
inline const std::filesystem::path& ShortSong()
{
    static const TempDir dir;
    static const std::filesystem::path path = [] {
        std::string error;
        EXPECT_TRUE(MakeMp3(dir / "song.mp3", { 6.5, 16000, 1, { "-b", "32" } }, &error)) << error;
        return dir / "song.mp3";
    }();
    return path;
}

// Each test gets its own copy of the song in a fresh folder.
class ShortSongTest : public ::testing::Test
{
protected:
    void SetUp() override { std::filesystem::copy_file(ShortSong(), m_song); }

    TempDir m_dir;
    std::filesystem::path m_song = m_dir / "song.mp3";
};

} // namespace parvex
