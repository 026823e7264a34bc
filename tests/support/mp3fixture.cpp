// SPDX-License-Identifier: GPL-3.0-or-later
// Test MP3s are encoded at test time so that no binary fixture is committed.
#include "mp3fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

// Signed 16-bit little-endian PCM: a 440 Hz tone with a slow sweep, so VBR varies its rate.
void writePcm(const fs::path& path, const Mp3Options& o)
{
    std::ofstream out(path, std::ios::binary);
    const auto frames = static_cast<std::int64_t>(o.seconds * o.sampleRate);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / o.sampleRate;
        const double f = 440.0 + 300.0 * std::sin(t * 0.7);
        const double noise = static_cast<double>(i % 7919) / 7919.0 - 0.5;
        const double v = 0.5 * std::sin(2 * std::numbers::pi * f * t) + 0.1 * noise * std::sin(t);
        const auto s = static_cast<std::int16_t>(v * 20000);
        for (int c = 0; c < o.channels; ++c) {
            const char bytes[2]
                = { static_cast<char>(s & 0xff), static_cast<char>((s >> 8) & 0xff) };
            out.write(bytes, 2);
        }
    }
}

int run(const std::vector<std::string>& args)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (!std::freopen("/dev/null", "w", stderr) || !std::freopen("/dev/null", "w", stdout))
            _exit(126);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) < 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

namespace {

bool encodePcm(const fs::path& pcm, const fs::path& path, int sampleRate, int channels,
    const std::vector<std::string>& lameArgs, std::string* error)
{
    std::vector<std::string> args { "lame", "--quiet", "-r", "--little-endian", "--signed",
        "--bitwidth", "16", "-s", std::to_string(sampleRate / 1000.0), "-m",
        channels == 1 ? "m" : "j" };
    args.insert(args.end(), lameArgs.begin(), lameArgs.end());
    args.push_back(pcm.string());
    args.push_back(path.string());
    const int rc = run(args);
    std::error_code ec;
    fs::remove(pcm, ec);
    if (rc != 0 || !fs::exists(path)) {
        if (error)
            *error = rc == 127 ? "lame is not installed"
                               : "lame failed with status " + std::to_string(rc);
        return false;
    }
    return true;
}

} // namespace

bool MakeMp3(const fs::path& path, const Mp3Options& options, std::string* error)
{
    const fs::path pcm = path.string() + ".pcm";
    writePcm(pcm, options);
    return encodePcm(pcm, path, options.sampleRate, options.channels, options.lameArgs, error);
}

bool EncodeMp3(const fs::path& path, const std::vector<std::int16_t>& interleaved, int sampleRate,
    int channels, const std::vector<std::string>& lameArgs, std::string* error)
{
    const fs::path pcm = path.string() + ".pcm";
    {
        std::ofstream out(pcm, std::ios::binary);
        for (const std::int16_t s : interleaved) {
            const auto u = static_cast<std::uint16_t>(s);
            const char bytes[2] = { static_cast<char>(u & 0xff), static_cast<char>(u >> 8) };
            out.write(bytes, 2);
        }
    }
    return encodePcm(pcm, path, sampleRate, channels, lameArgs, error);
}

void MakePatternFile(const fs::path& path, std::int64_t size)
{
    std::ofstream out(path, std::ios::binary);
    std::vector<char> block(1 << 16);
    for (std::int64_t done = 0; done < size;) {
        const auto n
            = static_cast<std::size_t>(std::min<std::int64_t>(size - done, std::ssize(block)));
        for (std::size_t j = 0; j < n; ++j) {
            const auto i = static_cast<std::uint64_t>(done) + j;
            block[j] = static_cast<char>((i * 2654435761u) >> 13);
        }
        out.write(block.data(), static_cast<std::streamsize>(n));
        done += static_cast<std::int64_t>(n);
    }
}

std::vector<char> ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "parvex-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

} // namespace parvex
