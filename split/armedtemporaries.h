// SPDX-License-Identifier: GPL-3.0-or-later
// The temporary files that are on disk under a name right now, for a signal handler to remove.
#pragma once

#include <cstddef>
#include <string_view>

namespace parvex {

// The longest temporary name a slot holds, its terminating zero included.
inline constexpr std::size_t ArmedNameBytes = 32;

// Records `name` in the folder open as `folderFd` (which stays open until DisarmTemporary), so
// that RemoveArmedTemporaries can unlink it; the slot's number, or -1 when every slot is taken or
// the name is too long (the file is then only swept by a later run).
int ArmTemporary(int folderFd, std::string_view name);

// Forgets a slot once its name is renamed into place or removed; -1 is ignored.
void DisarmTemporary(int slot);

// Unlinks every armed name. Async-signal-safe (atomic loads and unlinkat(2) only): a handler
// calls it before the process ends by a signal, so no temporary file outlives it.
void RemoveArmedTemporaries() noexcept;

} // namespace parvex
