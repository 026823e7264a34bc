// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built parvex-cli as a child process and captures what it says and how it ends.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace parvex {

struct CliRun
{
    int status = -1; // exit status; -1 when it did not exit normally
    int signal = 0; // the signal that ended it, if one did
    std::string out; // stdout
    std::string err; // stderr, or everything the terminal showed for runs on a terminal
};

// stdin is /dev/null, stdout and stderr are pipes: no terminal anywhere.
CliRun RunCli(const std::vector<std::string>& args, const std::filesystem::path& workDir);

// stdin and stderr are a pseudo-terminal; `answer` is typed once the replace question shows
// (nothing is typed when it is empty), and `signalOnProgress` (when not 0) is sent once a
// progress line shows. stdout stays a pipe.
CliRun RunCliOnTerminal(const std::vector<std::string>& args, const std::filesystem::path& workDir,
    const std::string& answer = {}, int signalOnProgress = 0);
// The same without an answer, sending each of `signals` in turn, at once, once a progress line
// shows.
CliRun RunCliOnTerminalSignalled(const std::vector<std::string>& args,
    const std::filesystem::path& workDir, const std::vector<int>& signals);

// A 65.9 s mono MP3 (T = 65, 16 kHz, 32 kbit/s), encoded once per test process; copy it, never
// change it.
const std::filesystem::path& SharedSong();

// The text up to the first line break: a file failure's own text, before its path and reason.
inline std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

// The bytes of `source` from `start` as a piece with the nominal range [start, end) holds them:
// whole 512-byte blocks, cut short by the end of the file; nothing when end <= start.
std::vector<char> ExpectedPiece(
    const std::vector<char>& source, std::int64_t start, std::int64_t end);

} // namespace parvex
