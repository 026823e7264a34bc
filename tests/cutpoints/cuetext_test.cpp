// SPDX-License-Identifier: GPL-3.0-or-later
// A sheet's bytes as UTF-8: the encodings real sheets come in, and what is refused.
#include "cuetext.h"

#include <gtest/gtest.h>

using namespace parvex;

namespace {

std::string decoded(std::string_view bytes, std::string_view encoding = {})
{
    std::string error;
    const auto text = DecodeCueText(bytes, encoding, &error);
    return text ? *text : "error: " + error;
}

} // namespace

TEST(CueText, detectsTheEncodingsOfRealSheets)
{
    using namespace std::string_view_literals;
    EXPECT_EQ(decoded("TITLE \"Caf\xE9 \x80\""), "TITLE \"Café €\""); // Windows-1252
    EXPECT_EQ(decoded("TITLE \"Café\""), "TITLE \"Café\""); // UTF-8 without BOM
    EXPECT_EQ(decoded("\xEF\xBB\xBFTITLE \"Café\""), "TITLE \"Café\"");
    EXPECT_EQ(decoded("\xFF\xFET\0\xE9\0\n\0"sv), "Té\n"); // UTF-16 LE
    EXPECT_EQ(decoded("\xFE\xFF\0T\0\xE9\0\n\xD8\x3D\xDE\x00"sv), "Té\n😀"); // UTF-16 BE
    EXPECT_EQ(decoded("\xC1\xEB\xFE\xE7", "CP1251"), "Блюз");
}

TEST(CueText, refusesWhatItCannotDecode)
{
    EXPECT_EQ(decoded("\xEF\xBB\xBF\xE9t\xE9"), "error: not UTF-8 text after its byte-order mark");
    EXPECT_EQ(decoded("\xFF\xFE\x3D\xD8"), "error: not UTF-16LE text (byte 0)");
    EXPECT_EQ(decoded("abc", "NO-SUCH-CODE"), "error: unknown text encoding \"NO-SUCH-CODE\"");
}

TEST(CueText, utf8IsWellFormedOnly)
{
    EXPECT_TRUE(IsValidUtf8("Café 😀"));
    for (const char* bad : { "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80" })
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}
