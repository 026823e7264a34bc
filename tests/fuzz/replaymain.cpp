// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a fuzz target over the files of the folders named on the command line: the replay driver
// that keeps committed reproducers as ctest cases in builds without libFuzzer.
#include "fuzztarget.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The fuzzers' -timeout: an input slower than this is a finding there, so it fails here too.
constexpr std::chrono::seconds kSlowInput { 1 };

std::vector<fs::path> inputsUnder(const fs::path& folder)
{
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

bool replay(const fs::path& input)
{
    std::ifstream in(input, std::ios::binary);
    const std::vector<char> bytes { std::istreambuf_iterator<char>(in),
        std::istreambuf_iterator<char>() };
    // Printed first: if the target aborts, the last line names the input.
    std::fprintf(stderr, "%s\n", input.c_str());
    const auto started = std::chrono::steady_clock::now();
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    const auto elapsed = std::chrono::steady_clock::now() - started;
    if (elapsed <= kSlowInput)
        return true;
    std::fprintf(stderr, "  slow: %.2f s\n", std::chrono::duration<double>(elapsed).count());
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t count = 0;
    bool allFast = true;
    for (int i = 1; i < argc; ++i) {
        for (const auto& input : inputsUnder(argv[i])) {
            allFast = replay(input) && allFast;
            ++count;
        }
    }
    std::fprintf(stderr, "%zu inputs replayed\n", count);
    // A replay of nothing proves nothing: a missing or emptied folder fails.
    return count > 0 && allFast ? 0 : 1;
}
