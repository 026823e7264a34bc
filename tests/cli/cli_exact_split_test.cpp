// parvex-cli parts and every with --exact: the pieces' gapless decodes joined give the source's,
// sample for sample; refusals and a full disk leave nothing half-written.
#include "clirun.h"
#include "exactfixtures.h"
#include "filesizelimit.h"
#include "gstdecode.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class CliExactSplit : public ::testing::Test
{
protected:
    // 20 s of VBR stereo at 44.1 kHz: MPEG-1 stereo, which libmpg123 decodes without a
    // synthesis phase to match, so every piece must join bit for bit.
    static void SetUpTestSuite()
    {
        s_dir = new TempDir;
        std::string error;
        ASSERT_TRUE(MakeMp3(*s_dir / "song.mp3", { 20.0, 44100, 2, { "-V", "2" } }, &error))
            << error;
    }
    static void TearDownTestSuite() { delete std::exchange(s_dir, nullptr); }

    void SetUp() override { fs::copy_file(*s_dir / "song.mp3", m_song); }

    CliRun split(const char* command, const char* count)
    {
        return RunCli({ command, "song.mp3", count, "-d", "out", "--exact" }, m_dir.path());
    }

    // big.mp3: 72 MB of CBR 320 frames (a short encode repeated), long enough to be signalled
    // at its first progress line.
    void makeBigSource()
    {
        std::string error;
        ASSERT_TRUE(MakeMp3(m_dir / "short.mp3", { 3.0, 44100, 2, { "-b", "320", "-t" } }, &error))
            << error;
        const auto frames = ReadAll(m_dir / "short.mp3");
        std::vector<char> big;
        while (big.size() < 72'000'000)
            big.insert(big.end(), frames.begin(), frames.end());
        WriteBytes(m_dir / "big.mp3", big);
    }

    std::size_t filesIn(const fs::path& folder) const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    static TempDir* s_dir;
    TempDir m_dir;
    fs::path m_song = m_dir / "song.mp3";
    fs::path m_out = m_dir / "out";
};

TempDir* CliExactSplit::s_dir = nullptr;

// In both decoders: libmpg123, and GStreamer, whose parser reads the Info frame on its own.
TEST_F(CliExactSplit, thePiecesDecodeJoinedToTheSource)
{
    using Decoder = std::vector<std::int16_t> (*)(const fs::path&);
    const Decoder decoders[] = { DecodeGapless, DecodeWithGStreamer };
    const struct
    {
        const char* command;
        const char* count;
        std::size_t pieces;
    } cases[] = { { "parts", "7", 7 }, { "every", "2.5", 8 } };
    for (const auto& c : cases) {
        fs::remove_all(m_out);
        fs::create_directory(m_out);
        const auto run = split(c.command, c.count);
        ASSERT_EQ(run.status, 0) << c.command << ": " << run.err;
        EXPECT_EQ(run.out, "Splitting is done!\n");
        ASSERT_EQ(filesIn(m_out), c.pieces) << c.command;
        for (const Decoder decode : decoders) {
            const auto source = decode(m_song);
            ASSERT_FALSE(source.empty());
            std::vector<std::int16_t> joined;
            for (std::size_t i = 0; i < c.pieces; ++i) {
                const auto piece = decode(m_out / ("song_" + std::to_string(i) + ".mp3"));
                if (std::string(c.command) == "every" && i + 1 < c.pieces) {
                    EXPECT_EQ(piece.size(), 110250u * 2) << "piece " << i; // 2.5 s
                }
                joined.insert(joined.end(), piece.begin(), piece.end());
            }
            EXPECT_TRUE(joined == source)
                << c.command << (decode == DecodeGapless ? " (libmpg123): " : " (GStreamer): ")
                << joined.size() << " samples joined, " << source.size() << " in the source";
        }
    }
}

TEST_F(CliExactSplit, refusesWithTheSplitEnginesTextsAndWritesNothing)
{
    fs::create_directory(m_out);
    const auto tooMany = split("parts", "100000");
    EXPECT_EQ(tooMany.status, 1);
    EXPECT_EQ(tooMany.err, "The mp3 file is too small to be split into that many pieces!\n");
    EXPECT_EQ(filesIn(m_out), 0u);

    fs::create_symlink("../song.mp3", m_out / "song_0.mp3");
    const auto same = split("every", "5");
    EXPECT_EQ(same.err, "The output file is the source file!\n");
    fs::remove(m_out / "song_0.mp3");

    ASSERT_EQ(::mkfifo((m_out / "song_0.mp3").c_str(), 0644), 0);
    const auto fifo = split("parts", "2");
    EXPECT_EQ(fifo.status, 1);
    EXPECT_EQ(FirstLine(fifo.err), "Can not open the output mp3 file!");
    EXPECT_TRUE(fs::is_fifo(m_out / "song_0.mp3"));
    EXPECT_EQ(filesIn(m_out), 1u);
}

TEST_F(CliExactSplit, aFullDiskMidPieceLeavesNoPartialPieceAndTheOldFileWhole)
{
    fs::create_directory(m_out);
    MakePatternFile(m_out / "song_0.mp3", 1000);
    const auto before = ReadAll(m_out / "song_0.mp3");
    CliRun run;
    {
        // Each of the two pieces is about 160 KB. SIGXFSZ at its default, as after `ulimit -f`:
        // parvex-cli ignores it, so the write fails instead of the process.
        const FileSizeLimit limit(64 * 1024, false);
        run = split("parts", "2");
    }
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(FirstLine(run.err), "Can not write the output mp3 file!");
    EXPECT_EQ(ReadAll(m_out / "song_0.mp3"), before);
    EXPECT_EQ(filesIn(m_out), 1u) << "no temporary file stays behind";
}

// 72 MB of CBR 320 frames (a short encode repeated), signalled at its first progress line.
TEST_F(CliExactSplit, anInterruptionRemovesTheUnfinishedPieceAndEndsByTheSignal)
{
    makeBigSource();
    fs::create_directory(m_out);

    const auto run = RunCliOnTerminal(
        { "parts", "big.mp3", "2", "-d", "out", "--exact" }, m_dir.path(), {}, SIGINT);
    EXPECT_EQ(run.signal, SIGINT);
    EXPECT_NE(run.err.find("Interrupted: the unfinished piece was removed."), std::string::npos)
        << run.err;
    EXPECT_EQ(filesIn(m_out), 0u) << "no piece and no temporary file";

    // A hangup the caller ignores (nohup) stays ignored: the split runs to its end.
    const auto previous = std::signal(SIGHUP, SIG_IGN); // inherited by the child
    const auto ignored = RunCliOnTerminal(
        { "parts", "big.mp3", "2", "-d", "out", "--exact" }, m_dir.path(), {}, SIGHUP);
    std::signal(SIGHUP, previous);
    EXPECT_EQ(ignored.status, 0) << ignored.err;
    EXPECT_EQ(filesIn(m_out), 2u);
}

// A second signal right after the first, or SIGKILL, in the middle of a piece, with either
// engine: what is left are complete pieces (as an uninterrupted run writes them), nothing partial
// and nothing hidden.
TEST_F(CliExactSplit, aSecondSignalOrSigkillLeavesOnlyCompletePieces)
{
    makeBigSource();
    for (const bool exact : { true, false }) {
        std::vector<std::string> args { "parts", "big.mp3", "2", "-d", "reference" };
        if (exact)
            args.push_back("--exact");
        fs::create_directory(m_dir / "reference");
        ASSERT_EQ(RunCli(args, m_dir.path()).status, 0);
        args[4] = "out";
        for (const std::vector<int>& signals :
            { std::vector<int> { SIGINT, SIGTERM }, std::vector<int> { SIGKILL } }) {
            fs::remove_all(m_out);
            fs::create_directory(m_out);
            const auto run = RunCliOnTerminalSignalled(args, m_dir.path(), signals);
            EXPECT_EQ(run.signal, signals.back()) << run.err;
            for (const auto& entry : fs::directory_iterator(m_out)) {
                const std::string name = entry.path().filename().string();
                EXPECT_NE(name.front(), '.') << name << (exact ? " (exact)" : "");
                EXPECT_TRUE(ReadAll(entry.path()) == ReadAll(m_dir / "reference" / name))
                    << name << " is not a complete piece" << (exact ? " (exact)" : "");
            }
        }
        fs::remove_all(m_dir / "reference");
    }
}

} // namespace
