// SPDX-License-Identifier: GPL-3.0-or-later
// A CUE sheet's bytes as UTF-8 text: byte-order marks, UTF-16, Windows-1252 and iconv's encodings.
#include "cuetext.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <memory>
#include <type_traits>

namespace parvex {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// Windows-1252's bytes 0x80–0x9F; the five it leaves undefined keep their C1 code points, as
// Windows itself and the web's decoders do. Every other byte is its Latin-1 code point.
constexpr char16_t kCp1252High[32]
    = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
          0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
          0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };

void appendUtf8(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string fromCp1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte);
    }
    return out;
}

// The length of the UTF-8 sequence at `text[at]`, or 0 when it is not well-formed.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(text[at + i]);
    };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    // The allowed range of the second byte narrows for E0, ED, F0 and F4: that excludes overlong
    // forms, surrogates and code points past U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    if (length == 0 || text.size() - at < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

struct IconvCloser
{
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// One pass of iconv over all the input, growing the output as it asks; nullptr input flushes
// a stateful encoding's last shift sequence.
bool runIconv(iconv_t cd, char** in, std::size_t* inLeft, std::string& out)
{
    for (;;) {
        const std::size_t used = out.size();
        out.resize(used + (inLeft ? *inLeft : 0) * 4 + 64);
        char* next = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t status = iconv(cd, in, inLeft, &next, &outLeft);
        const int reason = errno;
        out.resize(out.size() - outLeft);
        if (status != static_cast<std::size_t>(-1))
            return true;
        if (reason != E2BIG)
            return false;
    }
}

std::optional<std::string> fromIconv(
    std::string_view bytes, const std::string& encoding, std::string* error)
{
    const iconv_t opened = iconv_open("UTF-8", encoding.c_str());
    if (opened == reinterpret_cast<iconv_t>(-1)) {
        *error = "unknown text encoding \"" + encoding + "\"";
        return std::nullopt;
    }
    const IconvHandle cd(opened);
    std::string out;
    // iconv's interface is not const-correct; it only reads the input.
    auto* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    if (!runIconv(cd.get(), &in, &inLeft, out) || !runIconv(cd.get(), nullptr, nullptr, out)) {
        const auto at = static_cast<std::size_t>(in - bytes.data());
        *error = "not " + encoding + " text (byte " + std::to_string(at) + ")";
        return std::nullopt;
    }
    if (!IsValidUtf8(out)) {
        *error = "not " + encoding + " text";
        return std::nullopt;
    }
    if (out.starts_with(kUtf8Bom))
        out.erase(0, kUtf8Bom.size());
    return out;
}

std::optional<std::string> fromUtf8(std::string_view text, std::string* error)
{
    if (IsValidUtf8(text))
        return std::string(text);
    *error = "not UTF-8 text after its byte-order mark";
    return std::nullopt;
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8SequenceLength(text, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::optional<std::string> DecodeCueText(
    std::string_view bytes, std::string_view encoding, std::string* error)
{
    if (!encoding.empty())
        return fromIconv(bytes, std::string(encoding), error);
    if (bytes.starts_with(kUtf8Bom))
        return fromUtf8(bytes.substr(kUtf8Bom.size()), error);
    if (bytes.starts_with(kUtf16LeBom))
        return fromIconv(bytes.substr(kUtf16LeBom.size()), "UTF-16LE", error);
    if (bytes.starts_with(kUtf16BeBom))
        return fromIconv(bytes.substr(kUtf16BeBom.size()), "UTF-16BE", error);
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return fromCp1252(bytes);
}

} // namespace parvex
