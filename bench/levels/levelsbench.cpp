// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the silences of an MP3 the way a script wants them (start, end, length in seconds), from
// the cached level summary or a fresh decode, for bench/silence-speed.
#include "levelcache.h"
#include "levelsummarydecode.h"
#include "silences.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace parvex;

int main(int argc, char** argv)
{
    // parvex-bench-levels [--no-cache | --one-thread] FILE [THRESHOLD-DB [MIN-SECONDS]]
    int arg = 1;
    bool cache = true;
    auto threads = LevelThreads::Auto;
    for (; arg < argc && argv[arg][0] == '-' && argv[arg][1] == '-'; ++arg) {
        cache = cache && std::strcmp(argv[arg], "--no-cache") != 0;
        if (std::strcmp(argv[arg], "--one-thread") == 0) {
            cache = false;
            threads = LevelThreads::One;
        }
    }
    if (arg >= argc) {
        std::fprintf(stderr,
            "usage: %s [--no-cache | --one-thread] FILE [THRESHOLD-DB [MIN-SECONDS]]\n", argv[0]);
        return 2;
    }
    const std::string path = argv[arg];
    const double threshold = arg + 1 < argc ? std::atof(argv[arg + 1]) : -40.0;
    const double minSeconds = arg + 2 < argc ? std::atof(argv[arg + 2]) : 1.0;
    std::string error;
    const auto levels
        = cache ? CachedLevels(path, {}, &error) : SummariseLevelsWith(path, {}, &error, threads);
    if (!levels) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const double rate = levels->sampleRate;
    for (const Silence& s : FindSilences(*levels, threshold, minSeconds))
        std::printf("%.3f %.3f %.3f\n", static_cast<double>(s.start) / rate,
            static_cast<double>(s.end) / rate, static_cast<double>(s.end - s.start) / rate);
    return 0;
}
