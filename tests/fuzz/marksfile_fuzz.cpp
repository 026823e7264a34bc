// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the saved marks reader on any bytes; what it accepts keeps the list's rules and
// reads back the same once written.
#include "fuzzcheck.h"
#include "fuzztarget.h"
#include "marksfile.h"

#include <QByteArray>

using namespace parvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto saved = ReadSavedMarks(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!saved)
        return 0;
    FUZZ_CHECK(saved->sampleRate > 0);
    for (std::size_t i = 0; i < saved->marks.size(); ++i) {
        FUZZ_CHECK(saved->marks[i].sample >= 0 && saved->marks[i].sample <= saved->totalSamples);
        FUZZ_CHECK(i == 0 || saved->marks[i - 1].sample < saved->marks[i].sample);
    }
    const auto again = ReadSavedMarks(WriteSavedMarks(*saved));
    FUZZ_CHECK(again && again->key == saved->key && again->marks == saved->marks
        && again->sampleRate == saved->sampleRate && again->totalSamples == saved->totalSamples);
    return 0;
}
