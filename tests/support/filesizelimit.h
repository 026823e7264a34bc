// SPDX-License-Identifier: GPL-3.0-or-later
// Files written past a size fail with EFBIG, as on a full disk; child processes inherit it.
// `ignoreSignal` false leaves SIGXFSZ at its default, as `ulimit -f` in a shell does: a child
// that does not ignore it itself is then ended by it.
#pragma once

#include <csignal>
#include <functional>
#include <string>
#include <sys/resource.h>

namespace parvex {

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes, bool ignoreSignal = true)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, ignoreSignal ? SIG_IGN : SIG_DFL);
        const rlimit limit { bytes, m_saved.rlim_max };
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, SIG_DFL);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved {};
};

// Runs `body` in a forked child under a FileSizeLimit of `limitBytes` and returns what `body`
// returned; a child that dies (SIGXFSZ at its default, say) returns "child failed".
std::string RunWithFileSizeLimit(
    rlim_t limitBytes, const std::function<std::string()>& body, bool ignoreSignal = true);

} // namespace parvex
