// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built parvex-cli as a child process and captures what it says and how it ends.
#include "clirun.h"

#include "mp3fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

char cliPath[] = PARVEX_CLI_PATH;

// Built before fork: the child only makes async-signal-safe calls.
std::vector<char*> makeArgv(const std::vector<std::string>& args)
{
    std::vector<char*> argv { cliPath };
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

[[noreturn]] void execCli(std::vector<char*>& argv, const fs::path& workDir)
{
    if (chdir(workDir.c_str()) != 0)
        _exit(126);
    execv(cliPath, argv.data());
    _exit(127);
}

void waitFor(pid_t pid, CliRun& run)
{
    int status = 0;
    if (waitpid(pid, &status, 0) < 0)
        return;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

// Reads every fd until it ends; `onData` sees each chunk with the fd it came from.
template<typename OnData>
void drain(std::vector<int> fds, OnData onData)
{
    while (!fds.empty()) {
        std::vector<pollfd> polls;
        for (int fd : fds)
            polls.push_back({ fd, POLLIN, 0 });
        // 60 s without a byte means the child hangs (a question nobody answers, say).
        if (poll(polls.data(), polls.size(), 60000) <= 0) {
            ADD_FAILURE() << "parvex-cli produced no output for 60 s";
            return;
        }
        for (const auto& p : polls) {
            if (p.revents == 0)
                continue;
            char buffer[4096];
            const ssize_t n = read(p.fd, buffer, sizeof buffer);
            if (n > 0) {
                onData(p.fd, std::string(buffer, static_cast<std::size_t>(n)));
            } else if (n == 0 || errno != EINTR) {
                // A pty master reports EIO once the child's side is closed.
                close(p.fd);
                std::erase(fds, p.fd);
            }
        }
    }
}

CliRun runOnTerminal(const std::vector<std::string>& args, const fs::path& workDir,
    const std::string& answer, const std::vector<int>& signals)
{
    auto argv = makeArgv(args);
    int master = -1;
    int slave = -1;
    int outPipe[2];
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0 || pipe(outPipe) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        setsid();
        dup2(slave, STDIN_FILENO);
        dup2(slave, STDERR_FILENO);
        dup2(outPipe[1], STDOUT_FILENO);
        close(master);
        close(outPipe[0]);
        execCli(argv, workDir);
    }
    close(slave);
    close(outPipe[1]);
    CliRun run;
    bool answered = answer.empty();
    bool signalled = signals.empty();
    drain({ master, outPipe[0] }, [&](int fd, const std::string& data) {
        if (fd == outPipe[0]) {
            run.out += data;
            return;
        }
        run.err += data;
        if (!answered && run.err.find("[y/N] ") != std::string::npos) {
            const std::string line = answer + "\n";
            answered = write(master, line.data(), line.size()) == std::ssize(line);
        }
        if (!signalled && run.err.find(" MiB of ") != std::string::npos) {
            for (const int signal : signals)
                kill(pid, signal);
            signalled = true;
        }
    });
    waitFor(pid, run);
    return run;
}

} // namespace

CliRun RunCli(const std::vector<std::string>& args, const fs::path& workDir)
{
    auto argv = makeArgv(args);
    int outPipe[2];
    int errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, STDIN_FILENO);
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]);
        close(errPipe[0]);
        execCli(argv, workDir);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    CliRun run;
    drain({ outPipe[0], errPipe[0] },
        [&](int fd, const std::string& data) { (fd == outPipe[0] ? run.out : run.err) += data; });
    waitFor(pid, run);
    return run;
}

CliRun RunCliOnTerminal(const std::vector<std::string>& args, const fs::path& workDir,
    const std::string& answer, int signalOnProgress)
{
    return runOnTerminal(args, workDir, answer,
        signalOnProgress != 0 ? std::vector<int> { signalOnProgress } : std::vector<int> {});
}

CliRun RunCliOnTerminalSignalled(
    const std::vector<std::string>& args, const fs::path& workDir, const std::vector<int>& signals)
{
    return runOnTerminal(args, workDir, {}, signals);
}

const fs::path& SharedSong()
{
    static TempDir dir;
    static const fs::path song = [] {
        const fs::path path = dir / "song.mp3";
        std::string error;
        Mp3Options options;
        options.seconds = 65.9;
        options.sampleRate = 16000; // small and quick to encode: every test process makes it
        options.lameArgs = { "-b", "32" };
        if (!MakeMp3(path, options, &error))
            ADD_FAILURE() << "cannot make the test MP3: " << error;
        return path;
    }();
    return song;
}

std::vector<char> ExpectedPiece(
    const std::vector<char>& source, std::int64_t start, std::int64_t end)
{
    if (end <= start)
        return {};
    const std::int64_t blocks = (end - start + 511) / 512;
    const std::int64_t stop = std::min<std::int64_t>(start + blocks * 512, std::ssize(source));
    return { source.begin() + start, source.begin() + stop };
}

} // namespace parvex
