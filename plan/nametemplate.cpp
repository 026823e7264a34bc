// SPDX-License-Identifier: GPL-3.0-or-later
// Field texts are made safe before they join the pattern; the pattern's own '/' are kept.
#include "nametemplate.h"

#include <cstdio>
#include <vector>

namespace parvex {

namespace {

constexpr std::size_t kMaxComponentBytes = 250;

std::string safeField(std::string_view text)
{
    std::string safe;
    for (const char c : text)
        safe += c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '_' : c;
    return safe == "." || safe == ".." ? "_" : safe;
}

std::string padded(int number, int count)
{
    const std::string digits = std::to_string(number);
    const std::size_t width = std::to_string(count).size();
    return std::string(digits.size() < width ? width - digits.size() : 0, '0') + digits;
}

std::string minutesSeconds(std::int64_t milliseconds)
{
    const std::int64_t seconds = milliseconds / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld.%02lld", static_cast<long long>(seconds / 60),
        static_cast<long long>(seconds % 60));
    return text;
}

std::string field(char name, const NameFields& fields)
{
    switch (name) {
    case 'f':
        return safeField(fields.sourceName);
    case 'n':
        return padded(fields.number, fields.count);
    case 'N':
        return std::to_string(fields.count);
    case 't':
        return safeField(fields.title);
    case 'p':
        return safeField(fields.performer);
    case 'a':
        return safeField(fields.album);
    case 's':
        return minutesSeconds(fields.startMilliseconds);
    case '@':
        return "@";
    default:
        return std::string("@") + name; // not a field: kept as typed
    }
}

// Cuts `component` to kMaxComponentBytes without splitting a UTF-8 sequence.
std::string shortened(std::string component)
{
    if (component.size() <= kMaxComponentBytes)
        return component;
    std::size_t end = kMaxComponentBytes;
    while (end > 0 && (static_cast<unsigned char>(component[end]) & 0xC0) == 0x80)
        --end;
    component.resize(end);
    return component;
}

} // namespace

std::string_view DefaultNameTemplate(bool everyPieceHasTitle)
{
    return everyPieceHasTitle ? "@n - @t" : "@f_@n";
}

std::string ExpandNameTemplate(std::string_view pattern, const NameFields& fields)
{
    std::vector<std::string> components(1);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '/')
            components.emplace_back();
        else if (pattern[i] == '@' && i + 1 < pattern.size())
            components.back() += field(pattern[++i], fields);
        else
            components.back() += pattern[i];
    }
    components.back() = shortened(components.back()) + ".mp3";
    std::string path;
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (components[i].empty() && i > 0)
            continue; // "a//b" is "a/b"; a leading '/' stays
        if (!path.empty() || i > 0)
            path += '/';
        path += i + 1 < components.size() ? shortened(components[i]) : components[i];
    }
    return path;
}

} // namespace parvex
