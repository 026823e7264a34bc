// SPDX-License-Identifier: GPL-3.0-or-later
// A CUE sheet's bytes as UTF-8 text: byte-order marks, UTF-16, Windows-1252 and iconv's encodings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace parvex {

// `encoding` empty detects: UTF-8 with or without a BOM, UTF-16 LE or BE with a BOM, else
// Windows-1252 (which every byte string is). Otherwise it is an iconv name ("CP1251"). The text
// returned is valid UTF-8 without a BOM; on failure `*error` says why (without the sheet's name).
std::optional<std::string> DecodeCueText(
    std::string_view bytes, std::string_view encoding, std::string* error);

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view text);

} // namespace parvex
