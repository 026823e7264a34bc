// SPDX-License-Identifier: GPL-3.0-or-later
// The refusal texts of the frame index.
#include "streamindex.h"

namespace parvex {

const char* IndexRefusalText(IndexRefusal refusal)
{
    switch (refusal) {
    case IndexRefusal::Unreadable:
        return "it cannot be read as a regular file";
    case IndexRefusal::ReadFailed:
        return "reading it failed partway (a disk, network or file system error, or the file "
               "was cut short while it was read)";
    case IndexRefusal::NotMpegAudio:
        return "it is not MPEG audio";
    case IndexRefusal::FreeFormat:
        return "its frames use a free-format bitrate";
    case IndexRefusal::NotLayer3:
        return "it is MPEG Layer I or II audio, not MP3";
    case IndexRefusal::TooFewFrames:
        return "it holds fewer than 4 audio frames";
    case IndexRefusal::FormatChanges:
        return "its sample rate or MPEG version changes within the stream";
    case IndexRefusal::GaplessLongerThanAudio:
        return "its encoder delay and padding are longer than its audio";
    case IndexRefusal::TooLarge:
        return "it is larger than 1 TiB";
    case IndexRefusal::OutOfMemory:
        return "its frame index does not fit in memory";
    }
    return "it is not MPEG audio";
}

} // namespace parvex
