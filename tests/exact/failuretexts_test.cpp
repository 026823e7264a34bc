// SPDX-License-Identifier: GPL-3.0-or-later
// Failures of an exact cut name their cause: a read that fails partway through the index walk
// is not a file that "cannot be read as a regular file", and a piece no frame layout can hold
// is no failure to read the source.
#include "exactfixtures.h"
#include "mp3fixture.h"
#include "piecefile.h"
#include "pieceplan.h"
#include "splitmessages.h"
#include "streamscan.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace parvex {

namespace {

#if defined(__x86_64__)
constexpr std::uint32_t kAuditArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr std::uint32_t kAuditArch = AUDIT_ARCH_AARCH64;
#else
constexpr std::uint32_t kAuditArch = 0;
#endif

// From here on this process's pread() calls at file offsets in [from, to) fail with EIO, as on
// a failing disk. For a death test's child only: a seccomp filter cannot be taken back.
bool failReadsBetween(std::uint32_t from, std::uint32_t to)
{
    constexpr auto argLow = offsetof(seccomp_data, args) + 3 * sizeof(std::uint64_t);
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kAuditArch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_pread64, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, argLow + 4), // the offset's high half: 0
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 0, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, argLow),
        BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, from, 0, 2),
        BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, to, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program { static_cast<unsigned short>(std::size(filter)), filter };
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0
        && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// Exits with the refusal's number and prints its text; 100 if the file was indexed, 101 if the
// reads could not be made to fail.
[[noreturn]] void indexWithFailingReads(
    const std::string& path, std::uint32_t from, std::uint32_t to)
{
    if (!failReadsBetween(from, to))
        ::_exit(101);
    const IndexOutcome outcome = IndexMp3Stream(path);
    std::fprintf(stderr, "This file cannot be cut exactly: %s.\n",
        outcome.index ? "" : IndexRefusalText(outcome.refusal));
    ::_exit(outcome.index ? 100 : static_cast<int>(outcome.refusal));
}

// 20 s of CBR 128 (320 KB): the walk's second buffer fill, at 256 KiB, fails.
TEST(ExactFailureTexts, aReadFailingPartwayThroughTheIndexWalkSaysSo)
{
    if (kAuditArch == 0)
        GTEST_SKIP() << "no seccomp architecture known for this machine";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir dir;
    const auto path = dir / "source.mp3";
    std::string error;
    ASSERT_TRUE(MakeMp3(path, { 20.0, 44100, 2, { "-b", "128" } }, &error)) << error;
    const auto size = static_cast<std::uint32_t>(std::filesystem::file_size(path));
    EXPECT_EXIT(indexWithFailingReads(path.string(), 100000, size - 4096),
        testing::ExitedWithCode(static_cast<int>(IndexRefusal::ReadFailed)),
        "cannot be cut exactly: reading it failed partway");
}

// The plan asks the last silent frame to carry more main data than any frame of the stream can.
TEST(ExactFailureTexts, aPieceNoFrameCanCarryIsNoFailureToReadTheSource)
{
    TempDir dir;
    const auto path = dir / "source.mp3";
    std::string error;
    ASSERT_TRUE(MakeMp3(path, { 3.0, 44100, 2, { "-b", "128" } }, &error)) << error;
    const IndexOutcome outcome = IndexMp3Stream(path.string());
    ASSERT_TRUE(outcome.index);
    PiecePlan piece = PlanPieces(*outcome.index, { 40000, 80000 }).front();
    piece.start.silentFrames = 1;
    piece.start.reservoirBytes = 3000; // a Layer III frame holds at most 1441 bytes
    const int source = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(source, 0);
    const auto output = dir / "piece.mp3";
    const auto failure = WritePieceFile(*outcome.index, piece, source, output.string(), {});
    ::close(source);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->message, PieceLayoutFailureText);
    EXPECT_FALSE(std::filesystem::exists(output));
}

} // namespace

} // namespace parvex
