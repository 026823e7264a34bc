// SPDX-License-Identifier: GPL-3.0-or-later
// OutputFile: what a piece leaves on disk, however its writing ends.
#include "armedtemporaries.h"
#include "filesizelimit.h"
#include "mp3fixture.h"
#include "outputfile.h"
#include "splittesthelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

using Temporary = OutputFile::Temporary;

void WriteText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

bool writeText(int fd, const std::string& text)
{
    return ::write(fd, text.data(), text.size()) == std::ssize(text);
}

std::string textOf(const fs::path& path)
{
    const auto bytes = ReadAll(path);
    return { bytes.begin(), bytes.end() };
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool hasUnnamedFiles(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

// Runs `body` in a forked child and gives how the child ended: "exit <status>" or
// "signal <number>".
std::string endOfChild(const std::function<void()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return "no child";
    return WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                               : "exit " + std::to_string(WEXITSTATUS(status));
}

// Both ways a temporary file is made: O_TMPFILE (the test folder's file system has it), and the
// short hidden name a file system without it gets.
class OutputFileTest : public testing::TestWithParam<Temporary>
{
protected:
    // Writes `text` to a new file for `path` and commits it: 0 or the errno.
    int write(const fs::path& path, const std::string& text)
    {
        OutputFile file(GetParam());
        if (const int error = file.open(path))
            return error;
        return writeText(file.fd(), text) ? file.commit() : errno;
    }

    TempDir m_dir;
};

INSTANTIATE_TEST_SUITE_P(Temporaries, OutputFileTest,
    testing::Values(Temporary::Unnamed, Temporary::Named),
    [](const testing::TestParamInfo<Temporary>& param) {
        return param.param == Temporary::Unnamed ? "Unnamed" : "Named";
    });

// 80 CJK characters: 240 bytes of the 255 a name may have. The temporary file has no name, or a
// short one, whatever the output's.
TEST_P(OutputFileTest, aLongNameGetsATemporaryWithinTheNameLimit)
{
    std::string name;
    for (int i = 0; i < 80; ++i)
        name += "\xE6\x9B\xB2"; // U+66F2
    ASSERT_EQ(name.size(), 240u);
    OutputFile file(GetParam());
    ASSERT_EQ(file.open(m_dir / name), 0);
    ASSERT_TRUE(writeText(file.fd(), "piece"));
    const auto whileWriting = namesIn(m_dir.path());
    ASSERT_LE(whileWriting.size(), 1u);
    if (!whileWriting.empty()) {
        EXPECT_EQ(whileWriting.front().front(), '.');
        EXPECT_LE(whileWriting.front().size(), 16u);
    }
    EXPECT_EQ(file.commit(), 0);
    EXPECT_EQ(namesIn(m_dir.path()), std::vector<std::string> { name });
    EXPECT_EQ(textOf(m_dir / name), "piece");
}

TEST_P(OutputFileTest, theOldFileStaysWholeUntilTheCommitAndADiscardLeavesNothingElse)
{
    const fs::path path = m_dir / "song_0.mp3";
    WriteText(path, "old");
    {
        OutputFile file(GetParam());
        ASSERT_EQ(file.open(path), 0);
        ASSERT_TRUE(writeText(file.fd(), "new piece"));
        EXPECT_EQ(textOf(path), "old");
        file.discard();
        EXPECT_EQ(namesIn(m_dir.path()), std::vector<std::string> { "song_0.mp3" });
        ASSERT_EQ(file.open(path), 0);
        ASSERT_TRUE(writeText(file.fd(), "new piece"));
    } // destroyed without a commit
    EXPECT_EQ(namesIn(m_dir.path()), std::vector<std::string> { "song_0.mp3" });
    EXPECT_EQ(textOf(path), "old");

    EXPECT_EQ(write(path, "new piece"), 0);
    EXPECT_EQ(textOf(path), "new piece");
    EXPECT_EQ(namesIn(m_dir.path()), std::vector<std::string> { "song_0.mp3" });
}

TEST_P(OutputFileTest, aReplacedFileKeepsItsPermissionBitsAndANewOneGetsTheUmasks)
{
    const mode_t umask = ::umask(022);
    WriteText(m_dir / "private.mp3", "old");
    fs::permissions(m_dir / "private.mp3", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(write(m_dir / "private.mp3", "new"), 0);
    EXPECT_EQ(write(m_dir / "fresh.mp3", "new"), 0);
    ::umask(umask);
    struct stat status = {};
    ASSERT_EQ(::stat((m_dir / "private.mp3").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    ASSERT_EQ(::stat((m_dir / "fresh.mp3").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0644u);
    EXPECT_EQ(textOf(m_dir / "private.mp3"), "new");
}

// Relative links, a chain of two, and a dangling one whose target does not exist yet.
TEST_P(OutputFileTest, aSymbolicLinkKeepsPointingAtTheFileItReplaces)
{
    fs::create_directory(m_dir / "real");
    WriteText(m_dir / "real/target.mp3", "old");
    fs::create_symlink("real/target.mp3", m_dir / "link.mp3");
    fs::create_symlink("link.mp3", m_dir / "chain.mp3");
    fs::create_symlink("real/fresh.mp3", m_dir / "dangling.mp3");

    EXPECT_EQ(write(m_dir / "chain.mp3", "new"), 0);
    EXPECT_EQ(write(m_dir / "dangling.mp3", "fresh"), 0);
    EXPECT_TRUE(fs::is_symlink(m_dir / "chain.mp3"));
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.mp3"));
    EXPECT_TRUE(fs::is_symlink(m_dir / "dangling.mp3"));
    EXPECT_EQ(textOf(m_dir / "real/target.mp3"), "new");
    EXPECT_EQ(textOf(m_dir / "real/fresh.mp3"), "fresh");
    EXPECT_EQ(namesIn(m_dir / "real"), (std::vector<std::string> { "fresh.mp3", "target.mp3" }));
}

TEST_P(OutputFileTest, whatIsNoRegularFileIsNeitherOpenedNorReplaced)
{
    ASSERT_EQ(::mkfifo((m_dir / "fifo.mp3").c_str(), 0644), 0);
    fs::create_directory(m_dir / "folder.mp3");
    fs::create_symlink("/dev/null", m_dir / "null.mp3");
    EXPECT_EQ(write(m_dir / "fifo.mp3", "x"), ENODEV);
    EXPECT_EQ(write(m_dir / "folder.mp3", "x"), EISDIR);
    EXPECT_EQ(write(m_dir / "null.mp3", "x"), ENODEV);
    EXPECT_EQ(write(m_dir / "missing/piece.mp3", "x"), ENOENT);
    EXPECT_EQ(write("", "x"), ENOENT);
    EXPECT_TRUE(fs::is_fifo(m_dir / "fifo.mp3"));
    EXPECT_TRUE(fs::is_empty(m_dir / "folder.mp3"));
    EXPECT_EQ(
        namesIn(m_dir.path()), (std::vector<std::string> { "fifo.mp3", "folder.mp3", "null.mp3" }));
}

// SIGXFSZ at its default would end the process with the piece half written.
TEST_P(OutputFileTest, aWritePastTheFileSizeLimitFailsWithEfbig)
{
    const fs::path path = m_dir / "big.mp3";
    const std::string outcome = RunWithFileSizeLimit(
        4096,
        [&] {
            OutputFile file(GetParam());
            if (file.open(path) != 0)
                return std::string("not opened");
            const std::string block(8192, 'x');
            ssize_t written = 0;
            while ((written = ::write(file.fd(), block.data(), block.size())) > 0) { }
            return written < 0 && errno == EFBIG ? std::string("EFBIG") : std::string("no error");
        },
        false);
    EXPECT_EQ(outcome, "EFBIG");
    EXPECT_TRUE(fs::is_empty(m_dir.path()));
}

// What a signal handler does before the process ends by the signal (parvex-cli's second
// Ctrl-C): the temporary file's name, if it has one, goes with the process.
TEST_P(OutputFileTest, aSignalHandlerLeavesNoTemporaryFile)
{
    const std::string end = endOfChild([&] {
        OutputFile file(GetParam());
        if (file.open(m_dir / "piece.mp3") != 0 || !writeText(file.fd(), "half a piece"))
            ::_exit(1);
        std::signal(SIGTERM, [](int signal) {
            RemoveArmedTemporaries();
            std::signal(signal, SIG_DFL);
            std::raise(signal);
        });
        std::raise(SIGTERM);
    });
    EXPECT_EQ(end, "signal " + std::to_string(SIGTERM));
    EXPECT_TRUE(fs::is_empty(m_dir.path()));
}

// SIGKILL: an unnamed temporary file goes with the process; a named one stays until the next
// OutputFile in its folder finds it unlocked. A locked one (a run still writing) and names that
// are not a temporary file's stay.
TEST(OutputFile, aKilledRunLeavesNothingOrWhatTheNextRunInTheFolderRemoves)
{
    TempDir dir;
    const auto killedWhileWriting = [&](Temporary temporary) {
        return endOfChild([&] {
            OutputFile file(temporary);
            if (file.open(dir / "piece.mp3") == 0 && writeText(file.fd(), "half a piece"))
                std::raise(SIGKILL);
        });
    };
    const std::string killed = "signal " + std::to_string(SIGKILL);
    if (hasUnnamedFiles(dir.path())) {
        EXPECT_EQ(killedWhileWriting(Temporary::Unnamed), killed);
        EXPECT_TRUE(fs::is_empty(dir.path()));
    }
    EXPECT_EQ(killedWhileWriting(Temporary::Named), killed);
    const auto left = namesIn(dir.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left.front().starts_with(".parvex-")) << left.front();

    WriteText(dir / ".parvex-abcd1234", "a run still writing");
    const int live = ::open((dir / ".parvex-abcd1234").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    for (const char* name : { ".parvex-abcd", ".parvex-abcd1234.mp3", "x.parvex-abcd1234" })
        WriteText(dir / name, "not a temporary file");
    OutputFile next(Temporary::Named);
    ASSERT_EQ(next.open(dir / "other.mp3"), 0);
    next.discard();
    ::close(live);
    EXPECT_EQ(namesIn(dir.path()),
        (std::vector<std::string> {
            ".parvex-abcd", ".parvex-abcd1234", ".parvex-abcd1234.mp3", "x.parvex-abcd1234" }));
}

} // namespace

} // namespace parvex
