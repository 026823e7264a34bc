// SPDX-License-Identifier: GPL-3.0-or-later
// Packing: bits 63..24 the offset, 23..9 the header's number in m_headers, 8..0 the
// main_data_begin (9 bits in MPEG-1, 8 in MPEG-2/2.5).
#include "frameindex.h"

namespace parvex {

namespace {

constexpr std::uint32_t kMaxHeaders = 1u << 15;
constexpr std::uint32_t kNoNumber = kMaxHeaders;
constexpr std::uint64_t kNumberBits = std::uint64_t { 0x7FFF } << 9;

} // namespace

std::uint32_t FrameIndex::numberOf(const FrameHeader& header)
{
    if (!m_headers.empty() && m_headers[m_lastNumber].word() == header.word())
        return m_lastNumber;
    auto found = m_headerNumbers.find(header.word());
    if (found == m_headerNumbers.end()) {
        if (m_headers.size() == kMaxHeaders)
            return kNoNumber;
        const auto number = static_cast<std::uint32_t>(m_headers.size());
        found = m_headerNumbers.emplace(header.word(), number).first;
        m_headers.push_back(header);
    }
    m_lastNumber = found->second;
    return m_lastNumber;
}

bool FrameIndex::append(std::int64_t offset, const FrameHeader& header, int mainDataBegin)
{
    if (offset < 0 || offset > kMaxOffset || mainDataBegin < 0 || mainDataBegin > 511)
        return false;
    const std::uint32_t number = numberOf(header);
    if (number == kNoNumber)
        return false;
    (m_later.empty() ? m_frames : m_later)
        .push_back((static_cast<std::uint64_t>(offset) << 24) | (std::uint64_t { number } << 9)
            | static_cast<std::uint64_t>(mainDataBegin));
    return true;
}

bool FrameIndex::appendAll(FrameIndex&& later)
{
    std::vector<std::uint32_t> numbers;
    numbers.reserve(later.m_headers.size());
    for (const FrameHeader& header : later.m_headers) {
        numbers.push_back(numberOf(header));
        if (numbers.back() == kNoNumber)
            return false; // the headers added meanwhile are harmless: nothing refers to them
    }
    for (auto* run : { &later.m_frames, &later.m_later }) {
        for (std::uint64_t& packed : *run)
            packed = (packed & ~kNumberBits)
                | std::uint64_t { numbers[(packed & kNumberBits) >> 9] } << 9;
    }
    if (m_later.empty() && later.m_later.empty()) {
        m_later = std::move(later.m_frames);
        return true;
    }
    auto& into = m_later.empty() ? m_frames : m_later;
    for (auto* run : { &later.m_frames, &later.m_later })
        into.insert(into.end(), run->begin(), run->end());
    return true;
}

IndexedFrame FrameIndex::operator[](std::size_t frame) const
{
    const std::uint64_t packed
        = frame < m_frames.size() ? m_frames[frame] : m_later[frame - m_frames.size()];
    return { static_cast<std::int64_t>(packed >> 24), m_headers[(packed >> 9) & 0x7FFFu],
        static_cast<int>(packed & 0x1FFu) };
}

std::size_t FrameIndex::memoryBytes() const
{
    // The hash map's nodes: key, value and a next pointer each, plus the bucket array.
    const std::size_t mapBytes = m_headerNumbers.size() * (sizeof(void*) + 8)
        + m_headerNumbers.bucket_count() * sizeof(void*);
    return (m_frames.capacity() + m_later.capacity()) * sizeof(std::uint64_t)
        + m_headers.capacity() * sizeof(FrameHeader) + mapBytes;
}

} // namespace parvex
