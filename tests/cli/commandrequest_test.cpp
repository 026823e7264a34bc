// SPDX-License-Identifier: GPL-3.0-or-later
// What each parvex-cli command asks the dispatcher for, in process: the arguments as typed go
// through CommandLine and CommandRunner to a recording cut runner, and no engine runs. Usage
// errors and --help end the run before the runner.
#include "commandline.h"
#include "commandrunner.h"
#include "consolehost.h"
#include "exactfixtures.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <sstream>

namespace parvex {

namespace fs = std::filesystem;

namespace {

// One run of the command line: the request that reached the runner (if one did), what
// measureSeconds gave when the runner asked, the exit status and the streams.
struct Outcome
{
    std::optional<CutRequest> request;
    std::optional<std::int64_t> measured;
    std::optional<CliRequest> parsed;
    int status = -1;
    std::string out;
    std::string err;
};

Outcome runCommandLine(std::vector<std::string> args, SplitStatus result = SplitStatus::Done)
{
    args.insert(args.begin(), "parvex-cli");
    std::vector<const char*> argv;
    for (const auto& arg : args)
        argv.push_back(arg.c_str());
    Outcome outcome;
    std::ostringstream out;
    std::ostringstream err;
    CommandLine commandLine;
    outcome.parsed = commandLine.parse(static_cast<int>(argv.size()), argv.data(), out, err);
    if (!outcome.parsed) {
        outcome.status = commandLine.exitStatus();
    } else {
        std::istringstream in;
        ConsoleHost host(ConsoleHost::Options { outcome.parsed->assumeYes }, out, err, in);
        const auto record = [&](const CutRequest& request, SplitHost&) {
            outcome.request = request;
            // As the proportional engine does: only range and every need the length.
            if (!request.exact && !std::holds_alternative<CutIntoParts>(request.shape))
                outcome.measured = request.measureSeconds();
            return SplitResult { result, {}, 0 };
        };
        outcome.status = CommandRunner(host, out, record).run(*outcome.parsed);
    }
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

// A 1000-byte source, made once: measuring reads its size (the length comes from --duration).
const std::string& song()
{
    static const TempDir dir;
    static const std::string path = [] {
        MakePatternFile(dir / "song.mp3", 1000);
        return (dir / "song.mp3").string();
    }();
    return path;
}

void WriteText(const fs::path& path, const std::string& text)
{
    WriteBytes(path, { text.begin(), text.end() });
}

TimeMark mark(std::int32_t minutes, std::int32_t seconds, std::int32_t nanoseconds = 0)
{
    return { 0, minutes, seconds, nanoseconds };
}

TEST(CliRequest, cutAsksForTheRangeBetweenItsMarksIntoTheOutput)
{
    const struct
    {
        const char* start;
        const char* end;
        TimeMark a;
        TimeMark b;
    } forms[] = { { "0:10", "0:40", mark(0, 10), mark(0, 40) },
        { "10", "40", mark(0, 10), mark(0, 40) },
        { "0:0:10", "1:0:40", mark(0, 10), { 1, 0, 40, 0 } },
        { "1:2", "0:1:3", mark(1, 2), mark(1, 3) }, { "007", "0:020", mark(0, 7), mark(0, 20) },
        { "0:0:61", "-5", mark(0, 61), { 0, 0, -5, 0 } } };
    for (const auto& form : forms) {
        const auto run = runCommandLine(
            { "cut", song(), form.start, form.end, "-o", "out/cut.mp3", "--duration", "100" });
        ASSERT_TRUE(run.request) << form.start << ' ' << form.end << ": " << run.err;
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.request->sourcePath, song());
        EXPECT_TRUE(run.request->sourceOpen);
        EXPECT_FALSE(run.request->exact);
        const auto* range = std::get_if<CutBetween>(&run.request->shape);
        ASSERT_NE(range, nullptr);
        EXPECT_EQ(range->start, form.a) << form.start;
        EXPECT_EQ(range->end, form.b) << form.end;
        EXPECT_EQ(range->outputPath, "out/cut.mp3");
        EXPECT_EQ(run.measured, 100) << "--duration stands in for the probe";
    }
}

TEST(CliRequest, exactCutKeepsFractionsToTheNanosecond)
{
    const auto run
        = runCommandLine({ "cut", "song.mp3", "7.5", "1:02.250", "-o", "c.mp3", "--exact" });
    ASSERT_TRUE(run.request) << run.err;
    EXPECT_TRUE(run.request->exact);
    const auto& range = std::get<CutBetween>(run.request->shape);
    EXPECT_EQ(range.start, mark(0, 7, 500'000'000));
    EXPECT_EQ(range.end, mark(1, 2, 250'000'000));
    EXPECT_FALSE(run.measured) << "the exact engine measures by itself";
}

TEST(CliRequest, splitAtAsksForExactPiecesBetweenTheSortedPoints)
{
    const auto run = runCommandLine(
        { "split", song(), "--at", "7:45.5,3:20,1:02:03.25", "-o", "@n @t", "-y" });
    ASSERT_TRUE(run.request) << run.err;
    EXPECT_TRUE(run.request->exact);
    EXPECT_EQ(run.request->nameTemplate, "@n @t");
    EXPECT_TRUE(run.request->replaceExisting);
    EXPECT_EQ(run.request->outputFolder, fs::path(song()).parent_path().string())
        << "beside the source";
    const auto& marks = std::get<CutAtMarks>(run.request->shape);
    std::vector<std::int64_t> starts;
    for (const MarkedPiece& piece : marks.pieces)
        starts.push_back(PointSample(piece.start, 1000));
    EXPECT_EQ(starts, (std::vector<std::int64_t> { 0, 200'000, 465'500, 3'723'250 }));
}

TEST(CliRequest, splitCueAsksForTheTracksOfTheSourcesFile)
{
    const TempDir dir;
    const auto sheet = dir / "album.cue";
    WriteText(sheet,
        "PERFORMER \"Band\"\nTITLE \"Live\"\nFILE \"song.wav\" WAVE\n  TRACK 01 AUDIO\n"
        "    TITLE \"Intro\"\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    TITLE \"Song\"\n"
        "    PERFORMER \"Guest\"\n    INDEX 00 00:07:00\n    INDEX 01 00:08:37\n");
    for (const bool pregap : { false, true }) {
        std::vector<std::string> args { "split", song(), "--cue", sheet.string(), "-d", "out" };
        if (pregap)
            args.push_back("--pregap");
        const auto run = runCommandLine(args);
        ASSERT_TRUE(run.request) << run.err;
        EXPECT_EQ(run.request->outputFolder, "out");
        const auto& marks = std::get<CutAtMarks>(run.request->shape);
        EXPECT_EQ(marks.album, "Live");
        EXPECT_EQ(marks.albumPerformer, "Band");
        ASSERT_EQ(marks.pieces.size(), 2u);
        EXPECT_EQ(marks.pieces[1].start.perSecond, 75);
        EXPECT_EQ(marks.pieces[1].start.count, pregap ? 7 * 75 : 8 * 75 + 37);
        EXPECT_EQ(marks.pieces[1].title, "Song");
        EXPECT_EQ(marks.pieces[1].performer, "Guest");
    }

    WriteText(sheet,
        "FILE \"a.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
        "FILE \"b.wav\" WAVE\n TRACK 02 AUDIO\n  INDEX 01 00:00:00\n");
    const auto other = runCommandLine({ "split", song(), "--cue", sheet.string() });
    EXPECT_FALSE(other.request);
    EXPECT_EQ(other.status, 1);
    EXPECT_NE(other.err.find("a.wav, b.wav"), std::string::npos) << other.err;
}

TEST(CliRequest, partsAsksForTheCountIntoTheFolder)
{
    const auto run = runCommandLine({ "parts", "song.mp3", "7", "-d", "out", "--exact" });
    ASSERT_TRUE(run.request) << run.err;
    EXPECT_TRUE(run.request->exact);
    EXPECT_EQ(std::get<CutIntoParts>(run.request->shape).count, 7);
    EXPECT_EQ(run.request->outputFolder, "out");

    // Read as the window's box reads it: a leading integer, at most INT_MAX.
    const auto here = runCommandLine({ "parts", "../song.mp3", "99999999999" });
    ASSERT_TRUE(here.request) << here.err;
    EXPECT_EQ(std::get<CutIntoParts>(here.request->shape).count, 2'147'483'647);
    EXPECT_EQ(here.request->outputFolder, "") << "the working folder";
}

TEST(CliRequest, everyGivesWholeSecondsAndTheLengthAsTyped)
{
    const auto exact = runCommandLine({ "every", "song.mp3", "1:02.5", "-d", "out/", "--exact" });
    ASSERT_TRUE(exact.request) << exact.err;
    const auto& every = std::get<CutEvery>(exact.request->shape);
    EXPECT_EQ(every.length, mark(1, 2, 500'000'000));
    EXPECT_EQ(every.secondsText, "62");
    EXPECT_EQ(exact.request->outputFolder, "out/");

    const auto whole = runCommandLine({ "every", song(), "0:1:30", "--duration", "65" });
    ASSERT_TRUE(whole.request) << whole.err;
    EXPECT_EQ(std::get<CutEvery>(whole.request->shape).secondsText, "90");
    EXPECT_EQ(whole.measured, 65);
}

// Options may stand before, between or after the positional arguments.
TEST(CliRequest, optionsMayStandAnywhere)
{
    const std::vector<std::vector<std::string>> orders {
        { "every", "--duration", "65", "-d", "out", song(), "30" },
        { "every", song(), "-d", "out", "30", "--duration", "65" },
        { "every", song(), "30", "--duration=65", "--folder", "out" },
    };
    for (const auto& args : orders) {
        const auto run = runCommandLine(args);
        ASSERT_TRUE(run.request) << run.err;
        EXPECT_EQ(run.request->sourcePath, song());
        EXPECT_EQ(std::get<CutEvery>(run.request->shape).secondsText, "30");
        EXPECT_EQ(run.request->outputFolder, "out");
        EXPECT_EQ(run.measured, 65);
    }
    const auto cut
        = runCommandLine({ "cut", "-o", "cut.mp3", "-y", song(), "1", "2", "--duration", "5" });
    ASSERT_TRUE(cut.parsed);
    EXPECT_TRUE(cut.parsed->assumeYes);
    EXPECT_EQ(std::get<CutBetween>(cut.request->shape).outputPath, "cut.mp3");
    const auto ask = runCommandLine({ "cut", song(), "1", "2", "-o", "c.mp3", "--duration", "5" });
    ASSERT_TRUE(ask.parsed);
    EXPECT_FALSE(ask.parsed->assumeYes);
}

TEST(CliRequest, theRunnersOutcomeGivesTheExitStatusAndAStopIsNeverSilent)
{
    const std::vector<std::string> args { "parts", "song.mp3", "2" };
    const auto done = runCommandLine(args, SplitStatus::Done);
    EXPECT_EQ(done.status, 0);
    EXPECT_EQ(done.err, "");
    const auto failed = runCommandLine(args, SplitStatus::Failed);
    EXPECT_EQ(failed.status, CommandRunner::kStopped);
    EXPECT_EQ(failed.err, "Nothing was written.\n");
    const auto cancelled = runCommandLine(args, SplitStatus::Cancelled);
    EXPECT_EQ(cancelled.status, CommandRunner::kStopped);
    EXPECT_EQ(cancelled.err, "Interrupted: the unfinished piece was removed.\n");
}

TEST(CliRequest, durationNamesTheLengthOfASourceTheProbeCannotMeasure)
{
    TempDir dir;
    MakePatternFile(dir / "data.bin", 1000);
    const auto run = runCommandLine(
        { "cut", (dir / "data.bin").string(), "1", "2", "-o", "x", "--duration", "0" });
    EXPECT_EQ(run.measured, 0);
    const auto gone = runCommandLine(
        { "cut", (dir / "gone.bin").string(), "1", "2", "-o", "x", "--duration", "10" });
    EXPECT_EQ(gone.measured, std::nullopt) << "the size is read from the file opened";
    EXPECT_EQ(gone.err, "Can not open the mp3 file!\n");
}

struct UsageCase
{
    std::vector<std::string> args;
    const char* named; // what the message must name
    const char* usage; // the usage line shown
};

void PrintTo(const UsageCase& c, std::ostream* out)
{
    for (const auto& a : c.args)
        *out << '[' << a << ']';
}

class CliUsage : public ::testing::TestWithParam<UsageCase>
{ };

// The arguments alone stop the run: nothing reaches the runner, so nothing is read or written.
TEST_P(CliUsage, exitsWithStatusTwoAndAUsageLine)
{
    const auto& c = GetParam();
    const auto run = runCommandLine(c.args);
    EXPECT_FALSE(run.request);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(std::string("usage: ") + c.usage), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Arguments, CliUsage,
    ::testing::Values(UsageCase { { "parts", "song.mp3", "0" }, "COUNT", "parvex-cli parts" },
        UsageCase { { "parts", "song.mp3", "many" }, "COUNT", "parvex-cli parts" },
        UsageCase { { "parts", "song.mp3", "-2" }, "COUNT", "parvex-cli parts" },
        UsageCase { { "parts", "song.mp3", "12abc" }, "COUNT", "parvex-cli parts" },
        UsageCase { { "every", "song.mp3", "1.5" }, "SECONDS", "parvex-cli every" },
        UsageCase { { "every", "song.mp3", "0.0" }, "SECONDS", "parvex-cli every" },
        UsageCase { { "every", "song.mp3", "0" }, "SECONDS", "parvex-cli every" },
        UsageCase { { "every", "song.mp3", "" }, "SECONDS", "parvex-cli every" },
        UsageCase {
            { "every", "song.mp3", "30", "--duration", "-1" }, "--duration", "parvex-cli every" },
        UsageCase {
            { "every", "song.mp3", "30", "--duration", "1.5" }, "--duration", "parvex-cli every" },
        UsageCase { { "cut", "song.mp3", "x", "10", "-o", "c.mp3" }, "START", "parvex-cli cut" },
        UsageCase {
            { "cut", "song.mp3", "12abc", "20", "-o", "c.mp3" }, "12abc", "parvex-cli cut" },
        UsageCase { { "cut", "song.mp3", "1e1", "20", "-o", "c.mp3" }, "1e1", "parvex-cli cut" },
        UsageCase { { "cut", "song.mp3", "0x10", "20", "-o", "c.mp3" }, "0x10", "parvex-cli cut" },
        UsageCase { { "cut", "song.mp3", " 7", "20", "-o", "c.mp3" }, "START", "parvex-cli cut" },
        UsageCase { { "cut", "song.mp3", "1.", "20", "-o", "c.mp3" }, "START", "parvex-cli cut" },
        UsageCase {
            { "cut", "song.mp3", "12.345", "30", "-o", "c.mp3" }, "fraction", "parvex-cli cut" },
        UsageCase { { "cut", "song.mp3", "1", "0::5", "-o", "c.mp3" }, "END", "parvex-cli cut" },
        UsageCase {
            { "cut", "song.mp3", "1:0:0:5", "9", "-o", "c.mp3" }, "START", "parvex-cli cut" },
        UsageCase { { "cut", "song.mp3", "1", "5" }, "--output", "parvex-cli cut" },
        UsageCase { { "cut", "song.mp3", "1", "-o", "c.mp3" }, "END", "parvex-cli cut" },
        UsageCase { { "info" }, "SOURCE", "parvex-cli info" },
        UsageCase { { "info", "song.mp3", "extra" }, "extra", "parvex-cli info" },
        UsageCase { {}, "subcommand", "parvex-cli info" },
        UsageCase { { "join", "song.mp3" }, "join", "parvex-cli info" },
        UsageCase { { "split", "song.mp3" }, "--at", "parvex-cli split" },
        UsageCase { { "split", "song.mp3", "--at", "3:20,0" }, "after 0", "parvex-cli split" },
        UsageCase { { "split", "song.mp3", "--silence", "--cut-at", "2" }, "fraction",
            "parvex-cli split" }));

TEST(CliUsage, helpListsTheCommands)
{
    const auto run = runCommandLine({ "--help" });
    EXPECT_EQ(run.status, 0);
    for (const char* command : { "info", "cut", "parts", "every" })
        EXPECT_NE(run.out.find(command), std::string::npos) << command;

    const auto cut = runCommandLine({ "cut", "--help" });
    EXPECT_EQ(cut.status, 0);
    for (const char* item : { "SOURCE", "START", "END", "--output", "-y", "--duration" })
        EXPECT_NE(cut.out.find(item), std::string::npos) << item;
}

} // namespace

} // namespace parvex
