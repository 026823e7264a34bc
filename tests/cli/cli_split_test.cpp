// parvex-cli parts and every: piece names, folders, coverage of the source, option order.
#include "clirun.h"
#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using NominalStart = std::function<std::int64_t(std::int64_t index, std::int64_t size)>;

std::int64_t truncated(double value)
{
    return static_cast<std::int64_t>(std::trunc(value));
}

std::vector<std::string> fileNames(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every piece is the source's bytes from its nominal start, in whole blocks, and the pieces
// leave no gap: together they hold every byte of the source.
void expectPiecesCoverSource(
    const fs::path& source, const std::vector<fs::path>& pieces, const NominalStart& nominalStart)
{
    const auto bytes = ReadAll(source);
    const auto size = std::ssize(bytes);
    std::int64_t covered = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto index = static_cast<std::int64_t>(i);
        const std::int64_t start = nominalStart(index, size);
        const std::int64_t end = i + 1 < pieces.size() ? nominalStart(index + 1, size) : size;
        const auto piece = ReadAll(pieces[i]);
        EXPECT_EQ(piece, ExpectedPiece(bytes, start, end)) << pieces[i];
        EXPECT_LE(start, covered) << "gap before " << pieces[i];
        covered = std::max(covered, start + std::ssize(piece));
    }
    EXPECT_EQ(covered, size);
}

class CliSplit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::copy_file(SharedSong(), m_song);
        fs::create_directory(m_out);
    }

    TempDir m_dir;
    fs::path m_song = m_dir / "song.mp3";
    fs::path m_out = m_dir / "out";
};

TEST_F(CliSplit, partsAreNumberedFromZeroInTheFolder)
{
    const auto run = RunCli({ "parts", "song.mp3", "3", "-d", "out" }, m_dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Splitting is done!\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(
        fileNames(m_out), (std::vector<std::string> { "song_0.mp3", "song_1.mp3", "song_2.mp3" }));
    expectPiecesCoverSource(m_song,
        { m_out / "song_0.mp3", m_out / "song_1.mp3", m_out / "song_2.mp3" },
        [](std::int64_t i, std::int64_t size) {
            return truncated(static_cast<double>(i) / 3.0 * static_cast<double>(size));
        });
}

TEST_F(CliSplit, piecesGoToTheWorkingFolderByDefault)
{
    const auto run = RunCli({ "parts", "../song.mp3", "2" }, m_out);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fileNames(m_out), (std::vector<std::string> { "song_0.mp3", "song_1.mp3" }));
}

TEST_F(CliSplit, everyCutsPiecesOfTheGivenSeconds)
{
    // T = 65 and K = 30: 0-30, 30-60 and the 5 s that remain.
    const auto run = RunCli({ "every", "song.mp3", "30", "-d", "out/" }, m_dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Splitting is done!\n");
    EXPECT_EQ(
        fileNames(m_out), (std::vector<std::string> { "song_0.mp3", "song_1.mp3", "song_2.mp3" }));
    expectPiecesCoverSource(m_song,
        { m_out / "song_0.mp3", m_out / "song_1.mp3", m_out / "song_2.mp3" },
        [](std::int64_t i, std::int64_t size) {
            return truncated(static_cast<double>(i) / 65.0 * static_cast<double>(size) * 30.0);
        });
}

TEST_F(CliSplit, everyTakesTheDurationForSourcesTheProbeCannotMeasure)
{
    MakePatternFile(m_dir / "data.bin", 1'000'000);
    const auto unmeasured = RunCli({ "every", "data.bin", "30", "-d", "out" }, m_dir.path());
    EXPECT_EQ(unmeasured.status, 1);
    EXPECT_EQ(unmeasured.err, "Can not open the mp3 total time!\n");
    EXPECT_TRUE(fileNames(m_out).empty());

    const auto run
        = RunCli({ "every", "data.bin", "30", "-d", "out", "--duration", "100" }, m_dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(fileNames(m_out),
        (std::vector<std::string> { "data_0.mp3", "data_1.mp3", "data_2.mp3", "data_3.mp3" }));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(fs::file_size(m_out / ("data_" + std::to_string(i) + ".mp3")), 300'032u);
    EXPECT_EQ(fs::file_size(m_out / "data_3.mp3"), 100'000u);
}

TEST_F(CliSplit, everyOnASourceShorterThanOneSecondSaysSo)
{
    MakePatternFile(m_dir / "data.bin", 1000);
    const auto run
        = RunCli({ "every", "data.bin", "30", "-d", "out", "--duration", "0" }, m_dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err, "");
    EXPECT_TRUE(fileNames(m_out).empty());
}

TEST_F(CliSplit, unreadableSourceIsReported)
{
    const auto run = RunCli({ "parts", "missing.mp3", "2", "-d", "out" }, m_dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Can not open the mp3 file!\nmissing.mp3: No such file or directory\n");
}

// The design's text, then the path and the system's reason.
TEST_F(CliSplit, unwritableFolderIsReported)
{
    MakePatternFile(m_dir / "file", 10); // a file where the folder should be
    const auto run = RunCli({ "parts", "song.mp3", "2", "-d", "file" }, m_dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Can not open the output mp3 file!\nfile/song_0.mp3: Not a directory\n");
}

TEST_F(CliSplit, moreRequestedPiecesThanBytesAreRefusedBeforeWriting)
{
    const std::string message = "The mp3 file is too small to be split into that many pieces!\n";
    const auto parts = RunCli({ "parts", "song.mp3", "99999999999", "-d", "out" }, m_dir.path());
    EXPECT_EQ(parts.status, 1);
    EXPECT_EQ(parts.err, message);
    const auto every = RunCli(
        { "every", "song.mp3", "1", "-d", "out", "--duration", "1000000000000" }, m_dir.path());
    EXPECT_EQ(every.status, 1);
    EXPECT_EQ(every.err, message);
    EXPECT_TRUE(fileNames(m_out).empty());
}

// A FIFO opened the ordinary way waits for a peer that never comes; nothing here may.
TEST_F(CliSplit, aFifoIsNeitherWaitedOnNorReplaced)
{
    ASSERT_EQ(mkfifo((m_dir / "fifo").c_str(), 0600), 0);
    const auto parts = RunCli({ "parts", "fifo", "2", "-d", "out" }, m_dir.path());
    EXPECT_EQ(FirstLine(parts.err), "Can not open the mp3 file!");
    const auto cut
        = RunCli({ "cut", "fifo", "1", "2", "-o", "x.mp3", "--duration", "10" }, m_dir.path());
    EXPECT_EQ(FirstLine(cut.err), "Can not open the mp3 file!");
    const auto output = RunCli({ "cut", "song.mp3", "1", "2", "-o", "fifo", "-y" }, m_dir.path());
    EXPECT_EQ(output.status, 1);
    EXPECT_EQ(FirstLine(output.err), "Can not open the output mp3 file!");
    EXPECT_EQ(fs::status(m_dir / "fifo").type(), fs::file_type::fifo);
    EXPECT_TRUE(fileNames(m_out).empty());
}

// Options may stand before, between or after the positional arguments.
TEST_F(CliSplit, optionsMayStandAnywhere)
{
    const std::vector<std::vector<std::string>> orders {
        { "every", "--duration", "65", "-d", "out", "song.mp3", "30" },
        { "every", "song.mp3", "-d", "out", "30", "--duration", "65" },
        { "every", "song.mp3", "30", "--duration=65", "--folder", "out" },
    };
    for (const auto& args : orders) {
        fs::remove_all(m_out);
        fs::create_directory(m_out);
        const auto run = RunCli(args, m_dir.path());
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(fileNames(m_out).size(), 3u);
    }
    const auto cut = RunCli({ "cut", "-o", "cut.mp3", "-y", "song.mp3", "1", "2" }, m_dir.path());
    EXPECT_EQ(cut.status, 0) << cut.err;
    EXPECT_TRUE(fs::exists(m_dir / "cut.mp3"));
}

TEST_F(CliSplit, progressLineShowsOnATerminalForLargeSplits)
{
    const std::int64_t size = (std::int64_t { 64 } << 20) + 4096;
    MakePatternFile(m_dir / "big.bin", size);
    const auto run = RunCliOnTerminal({ "parts", "big.bin", "1", "-d", "out" }, m_dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Splitting is done!\n");
    EXPECT_NE(run.err.find("\r 100% 64.0 MiB of 64.0 MiB"), std::string::npos) << run.err;
    // The line is ended, so that nothing is written over it.
    EXPECT_EQ(run.err.back(), '\n');
    EXPECT_EQ(fs::file_size(m_out / "big_0.mp3"), static_cast<std::uintmax_t>(size));
}

TEST_F(CliSplit, noProgressLineWithoutATerminal)
{
    MakePatternFile(m_dir / "big.bin", (std::int64_t { 64 } << 20) + 4096);
    const auto run = RunCli({ "parts", "big.bin", "1", "-d", "out" }, m_dir.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

} // namespace
