// SPDX-License-Identifier: GPL-3.0-or-later
// Times ProbeDuration on an hour-long VBR MP3 without a Xing header (the worst case: every
// frame must be counted) against reading the same file with `cat`, page cache warm.
#include "mp3fixture.h"
#include "probeduration.h"

#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

using namespace parvex;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 7;
constexpr int kChunkSeconds = 900;
constexpr int kChunks = 4; // 4 x 900 s = one hour

// One encoder run per chunk would take minutes; copies of one chunk are a valid stream too.
// Each copy adds under 0.05 s of encoder delay and padding, so the hour stays below 3601 s.
bool makeHour(const fs::path& hour)
{
    const fs::path chunk = hour.parent_path() / "chunk-900s-vbr-no-xing.mp3";
    std::string error;
    if (!fs::exists(chunk)
        && !MakeMp3(chunk, { .seconds = kChunkSeconds, .lameArgs = { "-V", "2", "-t" } }, &error)) {
        std::fprintf(stderr, "encoding failed: %s\n", error.c_str());
        return false;
    }
    const std::vector<char> bytes = ReadAll(chunk);
    const fs::path partial = hour.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary);
        for (int i = 0; i < kChunks; ++i)
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
            return false;
    }
    fs::rename(partial, hour);
    return true;
}

double catSeconds(const fs::path& file)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const std::string path = file.string();
    char* argv[] = { const_cast<char*>("cat"), const_cast<char*>(path.c_str()), nullptr };
    const auto start = Clock::now();
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, "cat", &actions, nullptr, argv, environ) == 0)
        waitpid(pid, &status, 0);
    const auto end = Clock::now();
    posix_spawn_file_actions_destroy(&actions);
    return std::chrono::duration<double>(end - start).count();
}

double probeSeconds(const fs::path& file)
{
    const auto start = Clock::now();
    const auto seconds = ProbeDuration(file.string());
    const auto end = Clock::now();
    if (seconds != 3600)
        std::fprintf(stderr, "ProbeDuration changed between runs\n");
    return std::chrono::duration<double>(end - start).count();
}

template<typename F>
double median(F&& measure)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i)
        times.push_back(measure());
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    gst_init(&argc, &argv);
    const fs::path cache
        = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "parvex-bench";
    fs::create_directories(cache);
    const fs::path hour = cache / "hour-vbr-no-xing.mp3";
    if (!fs::exists(hour) && !makeHour(hour))
        return 1;

    catSeconds(hour); // warm the page cache
    const auto seconds = ProbeDuration(hour.string());
    std::printf("file: %s (%llu bytes)\n", hour.c_str(),
        static_cast<unsigned long long>(fs::file_size(hour)));
    std::printf("ProbeDuration: %lld s (expected 3600)\n",
        seconds ? static_cast<long long>(*seconds) : -1LL);
    if (seconds != 3600)
        return 1;

    const double cat = median([&] { return catSeconds(hour); });
    const double probe = median([&] { return probeSeconds(hour); });
    std::printf("cat file > /dev/null, median of %d: %.1f ms\n", kRuns, cat * 1000);
    std::printf("ProbeDuration, median of %d: %.1f ms\n", kRuns, probe * 1000);
    std::printf("ratio ProbeDuration / cat: %.2f (target <= 5)\n", probe / cat);
    return 0;
}
