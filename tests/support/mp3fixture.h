// SPDX-License-Identifier: GPL-3.0-or-later
// Generates MP3 files for tests with the `lame` encoder, from a synthetic tone.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace parvex {

struct Mp3Options
{
    double seconds = 5.0;
    int sampleRate = 44100;
    int channels = 1;
    std::vector<std::string> lameArgs { "-b",
        "128" }; // e.g. {"-V", "2"} for VBR, add "-t" for no Xing
};

// Encodes a tone of the given length to `path`; returns false (with the reason in `error`)
// when lame is missing or fails. Tests should fail, not skip, on false: lame is a test dependency.
bool MakeMp3(
    const std::filesystem::path& path, const Mp3Options& options, std::string* error = nullptr);

// Encodes interleaved signed 16-bit samples to `path` with lame (same failures as MakeMp3).
bool EncodeMp3(const std::filesystem::path& path, const std::vector<std::int16_t>& interleaved,
    int sampleRate, int channels, const std::vector<std::string>& lameArgs,
    std::string* error = nullptr);

// Writes `size` bytes of a deterministic pattern (byte i is a hash of i), for byte-exact checks.
void MakePatternFile(const std::filesystem::path& path, std::int64_t size);

// The whole file as bytes.
std::vector<char> ReadAll(const std::filesystem::path& path);

// A fresh, empty folder under the system temp folder, removed by the destructor.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

} // namespace parvex
