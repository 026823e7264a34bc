// SPDX-License-Identifier: GPL-3.0-or-later
// The server is started with fork and execve only: the test process runs GStreamer threads, so
// the child may call nothing but async-signal-safe functions before exec.
#include "pulseserver.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace parvex {

namespace fs = std::filesystem;

namespace {

constexpr int kExecFailed = 127;

// The first `name` on PATH that can be run; empty when there is none.
std::string findProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const fs::path candidate = fs::path(folder) / name;
        if (!folder.empty() && access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
    }
    return {};
}

// This process's environment with the server's own folders, and without the session bus: the
// server must neither find the desktop's sound server nor register with the session.
std::vector<std::string> serverEnvironment(const fs::path& folder)
{
    std::vector<std::string> result;
    for (char** variable = environ; *variable; ++variable) {
        const std::string entry = *variable;
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "HOME" && name != "XDG_RUNTIME_DIR" && name.rfind("PULSE_", 0) != 0
            && name != "DBUS_SESSION_BUS_ADDRESS" && name != "XDG_CONFIG_HOME")
            result.push_back(entry);
    }
    result.push_back("HOME=" + folder.string());
    result.push_back("XDG_RUNTIME_DIR=" + folder.string());
    result.push_back("XDG_CONFIG_HOME=" + (folder / "config").string());
    result.push_back("PULSE_RUNTIME_PATH=" + (folder / "runtime").string());
    result.push_back("PULSE_STATE_PATH=" + (folder / "state").string());
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (std::string& s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

} // namespace

PulseServer::PulseServer(const fs::path& folder)
    : m_folder(folder)
    , m_socket(folder / "native")
    , m_log(folder / "pulseaudio.log")
{
    start();
}

PulseServer::~PulseServer()
{
    stop();
}

void PulseServer::start()
{
    const std::string program = findProgram("pulseaudio");
    if (program.empty()) {
        m_problem = "pulseaudio is not installed";
        return;
    }
    std::error_code error;
    fs::create_directories(m_folder, error);
    // The server refuses a runtime folder that others can enter.
    if (error || chmod(m_folder.c_str(), 0700) != 0) {
        m_problem = "cannot make the folder " + m_folder.string();
        return;
    }
    std::vector<std::string> arguments { program, "--daemonize=no", "--use-pid-file=no",
        "--system=no", "--exit-idle-time=-1", "--realtime=no", "--high-priority=no",
        "--disable-shm=yes", "--log-target=stderr", "-n",
        std::string("--load=module-null-sink sink_name=") + kSink,
        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + m_socket.string() };
    std::vector<std::string> environment = serverEnvironment(m_folder);
    std::vector<char*> argv = pointers(arguments);
    std::vector<char*> envp = pointers(environment);
    const int log = open(m_log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
    m_pid = fork();
    if (m_pid == 0) {
        if (log < 0 || nothing < 0 || dup2(nothing, STDIN_FILENO) < 0
            || dup2(log, STDOUT_FILENO) < 0 || dup2(log, STDERR_FILENO) < 0)
            _exit(kExecFailed);
        execve(argv[0], argv.data(), envp.data());
        _exit(kExecFailed);
    }
    if (log >= 0)
        close(log);
    if (nothing >= 0)
        close(nothing);
    if (m_pid < 0)
        m_problem = "cannot start pulseaudio";
    else if (!waitForSocket())
        stop();
}

bool PulseServer::waitForSocket()
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + kStartTimeout;
    while (steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            m_problem = "pulseaudio ended at start: " + logTail();
            return false;
        }
        // The socket appears once the server listens, after the null sink is loaded.
        if (fs::exists(m_socket))
            return true;
        std::this_thread::sleep_for(milliseconds(20));
    }
    m_problem = "pulseaudio did not open its socket within " + std::to_string(kStartTimeout.count())
        + " s: " + logTail();
    return false;
}

std::string PulseServer::logTail() const
{
    std::ifstream in(m_log);
    std::string lastError;
    std::string lastLine;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("E: ", 0) == 0)
            lastError = line;
        if (!line.empty())
            lastLine = line;
    }
    if (!lastError.empty())
        return lastError;
    return lastLine.empty() ? "nothing in its log" : lastLine;
}

void PulseServer::stop()
{
    using namespace std::chrono;
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    const auto deadline = steady_clock::now() + kStopTimeout;
    int status = 0;
    while (waitpid(m_pid, &status, WNOHANG) == 0) {
        if (steady_clock::now() >= deadline) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(milliseconds(20));
    }
    m_pid = -1;
}

} // namespace parvex
