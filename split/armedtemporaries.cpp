// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed slots in static storage: a signal handler may neither allocate nor lock.
#include "armedtemporaries.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <fcntl.h>
#include <unistd.h>

namespace parvex {

namespace {

enum SlotState : int {
    Free,
    Filling, // taken; the handler must not read the name yet
    Armed,
};

struct Slot
{
    std::atomic<int> state { Free };
    int folderFd = -1;
    std::array<char, ArmedNameBytes> name {};
};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler reads the slots");

// One per piece written at the same time: the engines write one piece at a time per job.
std::array<Slot, 16> slots;

} // namespace

int ArmTemporary(int folderFd, std::string_view name)
{
    if (name.empty() || name.size() >= ArmedNameBytes)
        return -1;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        int expected = Free;
        if (!slots[i].state.compare_exchange_strong(expected, Filling))
            continue;
        slots[i].folderFd = folderFd;
        std::fill(
            std::copy(name.begin(), name.end(), slots[i].name.begin()), slots[i].name.end(), '\0');
        slots[i].state.store(Armed, std::memory_order_release);
        return static_cast<int>(i);
    }
    return -1;
}

void DisarmTemporary(int slot)
{
    if (slot >= 0 && static_cast<std::size_t>(slot) < slots.size())
        slots[static_cast<std::size_t>(slot)].state.store(Free, std::memory_order_release);
}

void RemoveArmedTemporaries() noexcept
{
    for (Slot& slot : slots) {
        if (slot.state.load(std::memory_order_acquire) == Armed)
            ::unlinkat(slot.folderFd, slot.name.data(), 0);
    }
}

} // namespace parvex
