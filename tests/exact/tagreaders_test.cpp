// SPDX-License-Identifier: GPL-3.0-or-later
// Pieces as tag readers built on mutagen (music libraries, taggers) see them: they take a LAME
// tag's delay and padding only after an encoder string they can parse, and otherwise show the
// length of every frame.
#include "exactfixtures.h"
#include "mp3fixture.h"
#include "pieceplan.h"
#include "streamscan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

namespace parvex {

namespace {

struct MutagenView
{
    bool ran = false;
    std::string encoder; // mutagen's encoder_info, e.g. "LAME 3.100.0+"
    double seconds = 0; // its length
};

// Debian's python3-mutagen (scripts/install-deps) with Debian's own interpreter.
MutagenView readWithMutagen(const std::filesystem::path& path)
{
    const std::string command = "/usr/bin/python3 -c 'import sys, mutagen.mp3; "
                                "i = mutagen.mp3.MP3(sys.argv[1]).info; "
                                "print(repr(i.length)); print(i.encoder_info)' '"
        + path.string() + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    MutagenView view;
    if (!pipe)
        return view;
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe.get()))
        output += buffer;
    std::istringstream lines(output);
    std::string length;
    view.ran = std::getline(lines, length) && std::getline(lines, view.encoder)
        && (std::istringstream(length) >> view.seconds);
    if (!view.ran)
        view.encoder = output; // the reason, for the failure message
    return view;
}

// A range of a source with and of one without a LAME tag: mutagen finds the piece's LAME tag
// and, from its frame count, delay and padding, the length the decoders play.
TEST(PiecesInMutagen, readTheLameTagAndTheDecodedLength)
{
    TempDir dir;
    const std::pair<const char*, Mp3Options> sources[] = {
        { "lame", { 4.0, 44100, 2, { "-V", "2" } } },
        { "without-lame-tag", { 4.0, 44100, 2, { "-V", "2", "-t" } } },
    };
    for (const auto& [name, options] : sources) {
        SCOPED_TRACE(name);
        const auto source = dir / (std::string(name) + ".mp3");
        std::string error;
        ASSERT_TRUE(MakeMp3(source, options, &error)) << error;
        const IndexOutcome outcome = IndexMp3Stream(source.string());
        ASSERT_TRUE(outcome.index);
        const auto folder = dir / name;
        std::filesystem::create_directory(folder);
        const auto pieces = WritePlannedPieces(
            *outcome.index, PlanPieces(*outcome.index, { 30000, 150000 }), source, folder);
        ASSERT_EQ(pieces.size(), 1u);

        const MutagenView view = readWithMutagen(pieces.front());
        ASSERT_TRUE(view.ran) << "python3-mutagen (scripts/install-deps): " << view.encoder;
        EXPECT_EQ(view.encoder.rfind("LAME 3.", 0), 0u) << view.encoder;
        EXPECT_EQ(std::llround(view.seconds * 44100), 120000);
        EXPECT_EQ(std::ssize(DecodeGapless(pieces.front())), 2 * 120000);
    }
}

} // namespace

} // namespace parvex
