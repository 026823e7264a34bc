// SPDX-License-Identifier: GPL-3.0-or-later
// The lexical layer of a CUE sheet: its lines, a line's keyword and words, and quoted values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace parvex {

// Takes the next line off the front of `text` into `line`, without its end (CR LF, CR or LF;
// the last line needs none). False when `text` is used up.
bool NextCueLine(std::string_view& text, std::string_view& line);

// A line's first word in upper case (keywords are case-insensitive) and the rest; both without
// the blanks (spaces, tabs) around them. An empty line has an empty keyword.
struct CueLine
{
    std::string keyword;
    std::string_view rest;
};
CueLine SplitCueLine(std::string_view line);

// ASCII letters in upper case; other bytes as they are.
std::string CueUpper(std::string_view word);

// The words of `text` between blanks.
std::vector<std::string_view> CueWords(std::string_view text);

// A TITLE's or PERFORMER's value: when it starts with a quote, what lies between it and the
// line's last quote (so that a sheet's unescaped inner quotes survive), else all of it.
std::string CueValue(std::string_view rest);

// FILE's name: quoted as in CueValue, or unquoted: all but the last word (the file type) when
// there are several words, else the one word.
std::string CueFileName(std::string_view rest);

} // namespace parvex
