// SPDX-License-Identifier: GPL-3.0-or-later
// Every audio frame of a stream in 8 bytes: where it starts, its header, its main_data_begin.
#pragma once

#include "frameheader.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace parvex {

struct IndexedFrame
{
    std::int64_t offset = 0; // bytes from the start of the file
    FrameHeader header;
    int mainDataBegin = 0; // see SideInfo::mainDataBegin
};

// A stream holds few distinct header words (bitrates, padding, mode extensions), so each
// frame stores a number into a table of them beside a 40-bit offset and the 9-bit
// main_data_begin: a 24-hour stream (3.4 million frames at 48 kHz) takes 27 MB.
class FrameIndex
{
public:
    // Offsets past this cannot be stored (1 TiB).
    static constexpr std::int64_t kMaxOffset = (std::int64_t { 1 } << 40) - 1;

    void reserve(std::size_t frames) { m_frames.reserve(frames); }
    // False when the frame cannot be held: an offset past kMaxOffset, or more distinct
    // headers than the table numbers (no real stream comes near either).
    bool append(std::int64_t offset, const FrameHeader& header, int mainDataBegin);
    // Appends the frames of `later`, an index of the stream's next stretch, without copying them
    // into fresh memory: they are renumbered where they lie and kept as a second run. False,
    // with no frame added, when their headers overflow the table.
    bool appendAll(FrameIndex&& later);
    // Gives back the growth reserve once the last frame is in, where it is worth a copy of the
    // index: a reserve made from the stream's length is within a few frames of the count, and
    // copying the index into fresh pages costs more than the spare capacity is worth.
    void shrinkToFit()
    {
        for (auto* run : { &m_frames, &m_later })
            if (run->capacity() - run->size() > run->size() / 8)
                run->shrink_to_fit();
    }

    std::size_t size() const { return m_frames.size() + m_later.size(); }
    IndexedFrame operator[](std::size_t frame) const;
    // Heap bytes held, for the memory budget.
    std::size_t memoryBytes() const;

private:
    std::uint32_t numberOf(const FrameHeader& header); // kNoNumber when the table is full

    std::vector<std::uint64_t> m_frames; // offset << 24 | header number << 9 | mainDataBegin
    std::vector<std::uint64_t> m_later; // the frames after m_frames', once appendAll() ran
    std::vector<FrameHeader> m_headers;
    std::unordered_map<std::uint32_t, std::uint32_t> m_headerNumbers; // word -> number
    std::uint32_t m_lastNumber = 0; // CBR streams and runs of equal frames skip the lookup
};

} // namespace parvex
