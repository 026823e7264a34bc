// SPDX-License-Identifier: GPL-3.0-or-later
// A private PulseAudio server with one null sink, for the tests that listen to what is played.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <sys/types.h>

namespace parvex {

// Runs `pulseaudio` as a child process with everything it keeps (socket, runtime and state
// folders, its log) inside `folder`, reachable only through that folder's socket, with one
// sink named kSink whose monitor source is kMonitor. Needs no session bus, no audio device and
// no login session, and runs as root. Each wait is bounded: start-up by kStartTimeout, the stop
// in the destructor by kStopTimeout (then SIGKILL).
class PulseServer
{
public:
    static constexpr const char* kSink = "null";
    static constexpr const char* kMonitor = "null.monitor";
    static constexpr std::chrono::seconds kStartTimeout { 10 };
    static constexpr std::chrono::seconds kStopTimeout { 5 };

    explicit PulseServer(const std::filesystem::path& folder);
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    bool running() const { return m_problem.empty(); }
    // Why the server is not running ("pulseaudio is not installed", its last log lines, ...).
    const std::string& problem() const { return m_problem; }
    // The server's address for a client's "server" property: unix:<folder>/native.
    std::string address() const { return "unix:" + m_socket.string(); }

private:
    void start();
    bool waitForSocket();
    std::string logTail() const;
    void stop();

    std::filesystem::path m_folder;
    std::filesystem::path m_socket;
    std::filesystem::path m_log;
    pid_t m_pid = -1;
    std::string m_problem;
};

} // namespace parvex
