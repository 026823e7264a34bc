// SPDX-License-Identifier: GPL-3.0-or-later
// The frame walk's reader: forward through one buffer, taking the CRC of the bytes on the way.
#pragma once

#include "bytecrcs.h"
#include "sourcestamp.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace parvex {

// Reads a regular file from an origin on through one buffer filled with pread(), and takes the
// CRC-16/ARC of every byte the buffer moves past at each ByteCrcs::kStep, so an exact cut's
// copies can run in the kernel and still know their music CRC. Reads behind the buffer are
// served apart and take no CRC. The descriptor is the caller's (the job's one descriptor of the
// source, which both halves of a walk share: pread() moves no position).
class ScanReader
{
public:
    // The longest view: a whole Layer III frame.
    static constexpr std::size_t kMaxView = 1441;

    ScanReader() = default;
    ScanReader(const ScanReader&) = delete;
    ScanReader& operator=(const ScanReader&) = delete;

    // Reads the regular file open as `fd` from `origin` on; false for anything else.
    bool open(int fd, std::int64_t origin);
    // `bytes` (at most kMaxView) at file offset `position`, valid until the next call; null past
    // the end of the file or on a read error.
    const std::uint8_t* view(std::int64_t position, std::size_t bytes);
    // The CRCs of every whole step the reader has moved past or holds.
    ByteCrcs finish();
    // The file as open() found it.
    const SourceStamp& stamp() const { return m_stamp; }

private:
    bool refill(std::int64_t position);
    void takeSteps(std::int64_t upTo);
    const std::uint8_t* viewBehind(std::int64_t position, std::size_t bytes);

    int m_fd = -1;
    SourceStamp m_stamp;
    std::unique_ptr<std::uint8_t[]> m_buffer; // uninitialised: the reads fill it
    std::size_t m_capacity = 0; // bytes at m_buffer
    std::int64_t m_start = 0; // file offset of m_buffer[0]
    std::size_t m_length = 0; // valid bytes in m_buffer
    ByteCrcs m_crcs;
    std::int64_t m_crcEnd = 0; // the CRCs reach this offset: the last step taken
    std::array<std::uint8_t, kMaxView> m_behind {};
};

} // namespace parvex
