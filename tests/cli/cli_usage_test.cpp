// parvex-cli's command line itself: info, usage errors, --help and --version.
#include "clirun.h"
#include "commandline.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// CommandLine::parse in process, for runs the arguments end: the exit status, stdout, stderr.
struct ParseEnd
{
    int status = -1;
    std::string out;
    std::string err;
};

ParseEnd parseOnly(std::vector<std::string> args)
{
    args.insert(args.begin(), "parvex-cli");
    std::vector<const char*> argv;
    for (const auto& arg : args)
        argv.push_back(arg.c_str());
    std::ostringstream out;
    std::ostringstream err;
    CommandLine commandLine;
    const bool ran
        = commandLine.parse(static_cast<int>(argv.size()), argv.data(), out, err).has_value();
    return { ran ? -1 : commandLine.exitStatus(), out.str(), err.str() };
}

TEST(CliInfo, printsTitleLineSizeAndSeconds)
{
    TempDir dir;
    fs::copy_file(SharedSong(), dir / "my song.mp3");
    const auto run = RunCli({ "info", (dir / "my song.mp3").string() }, dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
        "my song.mp3  (00:01:05)\nbytes: " + std::to_string(fs::file_size(SharedSong()))
            + "\nseconds: 65\n");
    EXPECT_EQ(run.err, "");
}

// Files that are not MP3 are measured through GStreamer, which parvex-cli starts only for them.
TEST(CliInfo, measuresOtherAudioThroughGStreamer)
{
    TempDir dir;
    const std::string command = "lame --quiet --decode '" + SharedSong().string() + "' '"
        + (dir / "song.wav").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto run = RunCli({ "info", "song.wav" }, dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "song.wav  (00:01:05)");
}

TEST(CliInfo, unmeasurableSourceIsReported)
{
    TempDir dir;
    MakePatternFile(dir / "data.bin", 100'000);
    for (const char* source : { "missing.mp3", "data.bin", "." }) {
        const auto run = RunCli({ "info", source }, dir.path());
        EXPECT_EQ(run.status, 1) << source;
        EXPECT_EQ(run.out, "") << source;
        EXPECT_EQ(run.err, "Can not open the mp3 total time!\n") << source;
    }
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
    const auto run = parseOnly(c.args);
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
        UsageCase { { "split", "song.mp3" }, "split", "parvex-cli info" }));

TEST(CliUsage, helpListsTheCommands)
{
    const auto run = parseOnly({ "--help" });
    EXPECT_EQ(run.status, 0);
    for (const char* command : { "info", "cut", "parts", "every" })
        EXPECT_NE(run.out.find(command), std::string::npos) << command;

    const auto cut = parseOnly({ "cut", "--help" });
    EXPECT_EQ(cut.status, 0);
    for (const char* item : { "SOURCE", "START", "END", "--output", "-y", "--duration" })
        EXPECT_NE(cut.out.find(item), std::string::npos) << item;
}

TEST(CliUsage, versionIsTheProjectVersion)
{
    TempDir dir;
    const auto run = RunCli({ "--version" }, dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "parvex-cli 3.1\n");
}

} // namespace
