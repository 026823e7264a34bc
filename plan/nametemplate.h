// SPDX-License-Identifier: GPL-3.0-or-later
// The names of marked pieces: a template with fields from the source, the sheet or the chapter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace parvex {

struct NameFields
{
    std::string sourceName; // the source's file name without its extension
    int number = 1; // from 1
    int count = 1;
    std::string title;
    std::string performer;
    std::string album;
    std::int64_t startMilliseconds = 0;
};

// "@n - @t" when every piece has a title, else "@f_@n".
std::string_view DefaultNameTemplate(bool everyPieceHasTitle);

// `pattern` with its fields filled in and ".mp3" added: @f the source's name, @n the number
// zero-padded to the width of the count, @N the count, @t title, @p performer, @a album, @s the
// start as mm.ss, @@ an @. A '/' of the pattern makes folders; in a field's text it becomes '_',
// as do control characters, and a field that would be "." or ".." is "_" too, so that no tag or
// sheet can name a file outside the folders the pattern makes. Each path component is cut to 250
// bytes at a character boundary, within every file system's limit with ".mp3".
std::string ExpandNameTemplate(std::string_view pattern, const NameFields& fields);

} // namespace parvex
