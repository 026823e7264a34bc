// SPDX-License-Identifier: GPL-3.0-or-later
// One way to write a piece: a new file that takes its output's place only once it is complete.
#pragma once

#include <string>
#include <sys/types.h>

namespace parvex {

// The output of one piece, written to a temporary file in the output's folder and put in place
// by commit(). Until then an old file of that name stays untouched, and whatever ends the work
// (a failure, a cancel, a signal, SIGKILL) leaves the complete piece, the old file or nothing,
// never a partial file:
// - The temporary file has no name (O_TMPFILE) where the file system allows it, so the kernel
//   frees it with the process. Elsewhere it has a short hidden name (".parvex-" and 8 letters,
//   within every file system's name limit whatever the output's name) and is locked (flock)
//   while it is written: a second Ctrl-C removes it (RemoveArmedTemporaries), and the first
//   OutputFile of a process in a folder removes those a killed run left there (unlocked).
// - A symbolic link at the output's path is followed: the file it points to is replaced and
//   the link stays.
// - A replaced file's permission bits are kept, and the new data reaches the disk (fsync of the
//   file, then of the folder) before the rename: a crash leaves the old file or the new one.
// - SIGXFSZ is ignored from open() on, so a write past the file size limit fails with EFBIG
//   instead of ending the process.
// Not thread-safe; one object per piece.
class OutputFile
{
public:
    enum class Temporary {
        Unnamed, // O_TMPFILE where the folder's file system has it, otherwise Named
        Named, // a short hidden name, as on a file system without O_TMPFILE
    };

    explicit OutputFile(Temporary temporary = Temporary::Unnamed);
    ~OutputFile(); // discard()
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Prepares the temporary file for `path`: 0, or the errno of what failed (ENOENT for a
    // missing folder; EISDIR or ENODEV for a folder, FIFO, device or socket at the path, which
    // is neither opened nor touched).
    int open(const std::string& path);
    // The temporary file, open for writing at offset 0; -1 before open() and after commit().
    int fd() const { return m_fd; }
    // Puts the complete file in place and closes it: 0, or the errno of what failed, the
    // temporary file then removed and the old file untouched.
    int commit();
    // Removes the temporary file and leaves the old one; nothing to do after commit().
    void discard();

private:
    int createUnnamed();
    int createNamed();
    int linkAs(const std::string& name);
    int giveName();
    int fail(int error);

    Temporary m_temporary;
    int m_folderFd = -1;
    int m_fd = -1;
    std::string m_name; // of the output in its folder, symbolic links followed
    std::string m_temporaryName; // empty while the temporary file has no name
    int m_armedSlot = -1; // see ArmTemporary
    bool m_replacing = false; // a regular file has the output's name
    mode_t m_mode = 0; // the permission bits of the file replaced
};

} // namespace parvex
