// SPDX-License-Identifier: GPL-3.0-or-later
// A file-size limit in a forked child, for writes whose SIGXFSZ may end the process.
#include "filesizelimit.h"

#include <sys/wait.h>
#include <unistd.h>

namespace parvex {

std::string RunWithFileSizeLimit(
    rlim_t limitBytes, const std::function<std::string()>& body, bool ignoreSignal)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const FileSizeLimit limit(limitBytes, ignoreSignal);
        const std::string out = body();
        const bool sent = write(fds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
        _exit(sent ? 0 : 3);
    }
    close(fds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0)
        return "child failed";
    return out;
}

} // namespace parvex
