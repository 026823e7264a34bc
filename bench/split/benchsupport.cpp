// SPDX-License-Identifier: GPL-3.0-or-later
// Measuring tools of the split benchmark (Linux: /proc, posix_spawn).
#include "benchsupport.h"

#include <algorithm>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ; // the C library's, outside any namespace

namespace parvex {

namespace fs = std::filesystem;

namespace {

// The value of a "Name:   123 kB" line of /proc/self/status, in bytes.
std::optional<std::int64_t> statusBytes(const std::string& name)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(name + ":", 0) == 0)
            return std::stoll(line.substr(name.size() + 1)) * 1024;
    }
    return std::nullopt;
}

bool resetPeakMemory()
{
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return clearRefs.good();
}

} // namespace

void WriteRandomFile(const fs::path& path, std::int64_t size)
{
    std::ofstream out(path, std::ios::binary);
    std::vector<std::uint64_t> block(1 << 17); // 1 MiB
    std::uint64_t state = 0x9e3779b97f4a7c15u;
    for (std::int64_t done = 0; done < size;) {
        for (auto& word : block) { // splitmix64
            std::uint64_t z = (state += 0x9e3779b97f4a7c15u);
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
            word = z ^ (z >> 31);
        }
        const auto n = std::min<std::int64_t>(size - done, std::ssize(block) * 8);
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(n));
        done += n;
    }
}

void WriteSlice(
    const fs::path& source, std::int64_t start, std::int64_t length, const fs::path& path)
{
    std::ifstream in(source, std::ios::binary);
    in.seekg(start);
    std::vector<char> bytes(static_cast<std::size_t>(length));
    in.read(bytes.data(), static_cast<std::streamsize>(length));
    std::ofstream(path, std::ios::binary).write(bytes.data(), in.gcount());
}

void WarmPageCache(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    while (in.read(buffer.data(), std::ssize(buffer)) || in.gcount() > 0) { }
}

bool RunCp(const fs::path& from, const fs::path& to)
{
    std::string a0 = "cp", a1 = "--reflink=never", a2 = from.string(), a3 = to.string();
    char* argv[] = { a0.data(), a1.data(), a2.data(), a3.data(), nullptr };
    pid_t pid = 0;
    if (posix_spawnp(&pid, "cp", nullptr, nullptr, argv, environ) != 0)
        return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::chrono::duration<double, std::milli> TimeOnce(
    const std::function<void()>& prepare, const std::function<void()>& run)
{
    prepare();
    sync();
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::steady_clock::now() - start;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

std::optional<std::int64_t> PeakMemoryRise(const std::function<void()>& body)
{
    const auto baseline = statusBytes("VmRSS");
    if (!baseline || !resetPeakMemory())
        return std::nullopt;
    body();
    const auto peak = statusBytes("VmHWM");
    if (!peak)
        return std::nullopt;
    return *peak - *baseline;
}

std::optional<std::int64_t> RunSelfForNumber(const std::vector<std::string>& arguments)
{
    std::vector<std::string> args { "parvex-bench-split" };
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int fds[2];
    if (pipe(fds) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = 0;
    const int spawned
        = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string out;
    char buffer[256];
    for (ssize_t n; spawned == 0 && (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0 || out.empty())
        return std::nullopt;
    return std::stoll(out);
}

} // namespace parvex
