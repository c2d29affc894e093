// UTF-16, as the Windows API and Windows file names hold text, to and from the program's UTF-8.
#pragma once

#include "utf8_text.h"

#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>

namespace brevorn {

// A 16-bit code unit: char16_t anywhere, and wchar_t where it is 16 bits wide (Windows).
template <class Unit>
concept Utf16Unit = (std::same_as<Unit, char16_t> || std::same_as<Unit, wchar_t>)&&sizeof(Unit) == 2;

// The character at utf16[at]: its code point and how many units (1 or 2) it takes. A
// surrogate without its partner is not well formed and counts as one unit.
struct Utf16Character
{
    char32_t codePoint = 0;
    std::size_t length = 1;
    bool wellFormed = true;
};

template <Utf16Unit Unit>
Utf16Character utf16CharacterAt(std::basic_string_view<Unit> utf16, std::size_t at)
{
    const char32_t unit = static_cast<char16_t>(utf16[at]);
    if (unit < 0xD800 || unit > 0xDFFF)
        return {unit, 1, true};
    if (unit <= 0xDBFF && at + 1 < utf16.size()) {
        const char32_t next = static_cast<char16_t>(utf16[at + 1]);
        if (next >= 0xDC00 && next <= 0xDFFF)
            return {0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), 2, true};
    }
    return {unit, 1, false};
}

// The UTF-16 form of a UTF-8 text (by default Windows' wide string). Nothing is dropped:
// each malformed part of the UTF-8 becomes one U+FFFD, the replacement character.
template <Utf16Unit Unit = wchar_t>
std::basic_string<Unit> toUtf16(std::string_view utf8)
{
    std::basic_string<Unit> out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        if (static_cast<unsigned char>(utf8[at]) < 0x80) {
            out += static_cast<Unit>(utf8[at++]);
            continue;
        }
        const std::size_t length = utf8CharacterLength(utf8, at);
        const char32_t c = length ? utf8CodePoint(utf8, at, length) : 0xFFFD;
        at += length ? length : malformedUtf8Length(utf8, at);
        if (c < 0x10000) {
            out += static_cast<Unit>(c);
        } else {
            out += static_cast<Unit>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<Unit>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

// The UTF-8 form of a UTF-16 text. A surrogate without its partner, which Windows file
// names may hold, becomes U+FFFD.
template <Utf16Unit Unit>
std::string toUtf8(std::basic_string_view<Unit> utf16)
{
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t at = 0; at < utf16.size();) {
        const Utf16Character c = utf16CharacterAt(utf16, at);
        appendUtf8(out, c.wellFormed ? c.codePoint : 0xFFFD);
        at += c.length;
    }
    return out;
}

template <Utf16Unit Unit>
std::string toUtf8(const std::basic_string<Unit>& utf16)
{
    return toUtf8(std::basic_string_view<Unit>(utf16));
}

template <Utf16Unit Unit>
std::string toUtf8(const Unit* utf16)
{
    return toUtf8(std::basic_string_view<Unit>(utf16));
}

// The position of the first surrogate without its partner, or npos when the text is all
// well-formed UTF-16.
template <Utf16Unit Unit>
std::size_t firstUnpairedSurrogate(std::basic_string_view<Unit> utf16)
{
    for (std::size_t at = 0; at < utf16.size();) {
        const Utf16Character c = utf16CharacterAt(utf16, at);
        if (!c.wellFormed)
            return at;
        at += c.length;
    }
    return std::basic_string_view<Unit>::npos;
}

} // namespace brevorn
