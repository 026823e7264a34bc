// SPDX-License-Identifier: GPL-3.0-or-later
// parvex-bench-split [folder]: the three split operations against cp on the same bytes.
#include "benchsupport.h"
#include "byteoffsets.h"
#include "filecopy.h"
#include "silenthost.h"
#include "splitoperations.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

using namespace parvex;

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t SourceSize = std::int64_t { 256 } << 20;
constexpr int Runs = 7;
constexpr std::int64_t TotalSeconds = 600; // the range of a sixth: 250 s to 350 s
constexpr std::string_view PeakMemoryMode = "--peak-memory-of";

struct Case
{
    std::string name;
    fs::path reference; // what cp copies: the same bytes the operation writes
    std::function<SplitResult()> run;
};

double mib(std::int64_t bytes)
{
    return static_cast<double>(bytes) / (1 << 20);
}

fs::path makeWorkFolder(const char* parentArgument)
{
    const fs::path parent = parentArgument ? fs::path(parentArgument) : fs::temp_directory_path();
    std::string pattern = (parent / "parvex-bench-split-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::fprintf(stderr, "cannot create a folder in %s\n", parent.c_str());
        std::exit(1);
    }
    return pattern;
}

ByteRange sixth()
{
    return { RangeCutOffset(250, TotalSeconds, SourceSize),
        RangeCutOffset(350, TotalSeconds, SourceSize) };
}

void writeFiles(const fs::path& work)
{
    WriteRandomFile(work / "source.mp3", SourceSize);
    WriteSlice(work / "source.mp3", sixth().start, CopiedByteCount(sixth(), SourceSize),
        work / "sixth.mp3");
    WarmPageCache(work / "source.mp3");
    WarmPageCache(work / "sixth.mp3");
}

std::vector<Case> makeCases(const fs::path& work)
{
    const fs::path source = work / "source.mp3";
    const fs::path out = work / "out";
    const auto parts = [=](std::int64_t count) {
        return [=] {
            SilentHost host;
            return SplitEqualParts({ source, true, count, out }, host);
        };
    };
    const auto range = [=] {
        SilentHost host;
        return CutRange({ source, true, TotalSeconds, TimeMark::fromSeconds(250),
                            TimeMark::fromSeconds(350), out / "cut.mp3" },
            host);
    };
    return { { "60 equal parts", source, parts(60) }, { "3 equal parts", source, parts(3) },
        { "range of a sixth", work / "sixth.mp3", range } };
}

void clearFolder(const fs::path& folder)
{
    fs::remove_all(folder);
    fs::create_directory(folder);
}

// In a process of its own: prints the peak memory rise of one case, in bytes.
int printPeakMemory(const fs::path& work, std::size_t caseIndex)
{
    const auto cases = makeCases(work);
    clearFolder(work / "out");
    const auto rise = PeakMemoryRise([&] { cases.at(caseIndex).run(); });
    if (!rise)
        return 1;
    std::printf("%lld\n", static_cast<long long>(*rise));
    return 0;
}

// Median times of the operation and of cp, interleaved so that drift hits both alike.
bool timeCase(const Case& c, const fs::path& out, double& opMs, double& cpMs)
{
    const auto prepare = [&] {
        clearFolder(out);
    };
    const fs::path copy = out / "copy.mp3";
    prepare();
    bool ok = c.run().status == SplitStatus::Done && RunCp(c.reference, copy); // warm-up
    std::vector<double> opTimes, cpTimes;
    for (int i = 0; ok && i < Runs; ++i) {
        cpTimes.push_back(TimeOnce(prepare, [&] { ok = ok && RunCp(c.reference, copy); }).count());
        opTimes.push_back(
            TimeOnce(prepare, [&] { ok = ok && c.run().status == SplitStatus::Done; }).count());
    }
    opMs = ok ? Median(opTimes) : 0;
    cpMs = ok ? Median(cpTimes) : 0;
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && argv[1] == PeakMemoryMode)
        return printPeakMemory(argv[2], std::stoul(argv[3]));

    const fs::path work = makeWorkFolder(argc > 1 ? argv[1] : nullptr);
    writeFiles(work);
    const std::vector<Case> cases = makeCases(work);
    std::printf("parvex-bench-split: %.1f MiB source in %s, median of %d runs, page cache warm\n",
        mib(SourceSize), work.c_str(), Runs);
    std::printf("%-18s %12s %12s %7s %16s\n", "case", "operation", "cp", "ratio", "peak memory");
    bool allMet = true;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        double opMs = 0, cpMs = 0;
        if (!timeCase(cases[i], work / "out", opMs, cpMs)) {
            std::fprintf(stderr, "%s: the operation or cp failed\n", cases[i].name.c_str());
            fs::remove_all(work);
            return 1;
        }
        const auto memory
            = RunSelfForNumber({ std::string(PeakMemoryMode), work.string(), std::to_string(i) });
        const double ratio = opMs / cpMs;
        allMet = allMet && ratio <= 1.1 && memory && *memory < (std::int64_t { 16 } << 20);
        char memoryText[32] = "n/a";
        if (memory)
            std::snprintf(memoryText, sizeof memoryText, "%.2f MiB", mib(*memory));
        std::printf("%-18s %9.1f ms %9.1f ms %7.2f %16s\n", cases[i].name.c_str(), opMs, cpMs,
            ratio, memoryText);
    }
    std::printf("targets: ratio <= 1.10, peak memory above baseline < 16 MiB: %s\n",
        allMet ? "met" : "NOT met");
    fs::remove_all(work);
    return 0;
}
