// SPDX-License-Identifier: GPL-3.0-or-later
// Field decoding on top of the duration probe's header check, so both agree on validity.
#include "frameheader.h"

#include "mpegaudioheader.h"

namespace parvex {

std::optional<FrameHeader> FrameHeader::parse(std::uint32_t word)
{
    const auto basic = MpegAudioHeader::parse(word);
    if (!basic)
        return std::nullopt;
    FrameHeader header;
    header.m_word = word;
    header.m_version = basic->version;
    header.m_layer = basic->layer;
    header.m_sampleRate = basic->sampleRate;
    header.m_frameBytes = basic->frameBytes;
    return header;
}

int FrameHeader::sideInfoBytes() const
{
    if (mpeg1())
        return mono() ? 17 : 32;
    return mono() ? 9 : 17;
}

bool FrameHeader::sameStream(const FrameHeader& other) const
{
    return m_version == other.m_version && m_layer == other.m_layer
        && m_sampleRate == other.m_sampleRate;
}

} // namespace parvex
