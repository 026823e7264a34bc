// SPDX-License-Identifier: GPL-3.0-or-later
// The lexical layer of a CUE sheet: its lines, a line's keyword and words, and quoted values.
#include "cueline.h"

#include <algorithm>

namespace parvex {

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// What lies between the opening quote at text[0] and the last quote after it (or the end).
std::string_view quoted(std::string_view text)
{
    const auto last = text.rfind('"');
    return last == 0 ? text.substr(1) : text.substr(1, last - 1);
}

} // namespace

bool NextCueLine(std::string_view& text, std::string_view& line)
{
    if (text.empty())
        return false;
    const auto end = text.find_first_of("\r\n");
    line = text.substr(0, end);
    if (end == std::string_view::npos) {
        text = {};
        return true;
    }
    const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (crLf ? 2 : 1));
    return true;
}

CueLine SplitCueLine(std::string_view line)
{
    line = trimmed(line);
    const auto end = std::min(line.find_first_of(kBlanks), line.size());
    return { CueUpper(line.substr(0, end)), trimmed(line.substr(end)) };
}

std::string CueUpper(std::string_view word)
{
    std::string upper(word);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

std::vector<std::string_view> CueWords(std::string_view text)
{
    std::vector<std::string_view> words;
    for (auto start = text.find_first_not_of(kBlanks); start != std::string_view::npos;
         start = text.find_first_not_of(kBlanks, start)) {
        const auto end = std::min(text.find_first_of(kBlanks, start), text.size());
        words.push_back(text.substr(start, end - start));
        start = end;
    }
    return words;
}

std::string CueValue(std::string_view rest)
{
    return std::string(rest.starts_with('"') ? quoted(rest) : rest);
}

std::string CueFileName(std::string_view rest)
{
    if (rest.starts_with('"'))
        return std::string(quoted(rest));
    const auto lastBlank = rest.find_last_of(kBlanks);
    if (lastBlank == std::string_view::npos)
        return std::string(rest);
    return std::string(trimmed(rest.substr(0, lastBlank)));
}

} // namespace parvex
