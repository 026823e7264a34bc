// SPDX-License-Identifier: GPL-3.0-or-later
// parvex-cli's signal handling: the first signal asks the work to stop, a second one ends the
// process by that signal at once, and a piece's named temporary file goes with it.
#include "interruption.h"
#include "mp3fixture.h"
#include "outputfile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace parvex {

namespace fs = std::filesystem;

namespace {

// A file system without O_TMPFILE gives the temporary file a name, which only the handler can
// remove before the process ends.
TEST(Interruption, aSecondSignalEndsTheProcessAndRemovesTheNamedTemporaryFile)
{
    TempDir dir;
    const pid_t pid = ::fork();
    if (pid == 0) {
        CatchInterruptions();
        OutputFile file(OutputFile::Temporary::Named);
        if (file.open((dir / "piece.mp3").string()) != 0 || ::write(file.fd(), "half", 4) != 4)
            ::_exit(1);
        std::raise(SIGINT);
        if (InterruptionSignal() != SIGINT)
            ::_exit(2);
        std::raise(SIGINT);
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

} // namespace

} // namespace parvex
