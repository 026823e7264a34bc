// SPDX-License-Identifier: GPL-3.0-or-later
// Reads CUE sheets: from bytes in memory or from a file, whatever their text encoding.
#pragma once

#include "cuesheet.h"

#include <string>
#include <string_view>

namespace parvex {

// The largest sheet read: real ones are a few KiB; anything this big is not a sheet.
constexpr std::size_t kCueMaxSheetBytes = 1 << 20;
// The longest line read, in bytes of UTF-8.
constexpr std::size_t kCueMaxLineBytes = 4096;

// `displayName` is what error messages start with (the sheet's file name). `encoding` empty =
// detect: UTF-8 (with or without BOM), UTF-16 LE/BE with BOM, else Windows-1252; otherwise an
// iconv name (e.g. "CP1251"). Any bytes are safe to give.
CueReadResult ReadCueSheet(
    std::string_view bytes, std::string_view displayName, std::string_view encoding = {});

// Reads the file at `path` (named in messages as given) with ReadCueSheet; refuses files over
// kCueMaxSheetBytes, folders, devices and what cannot be read, with a message naming the path.
CueReadResult ReadCueSheetFile(const std::string& path, std::string_view encoding = {});

} // namespace parvex
