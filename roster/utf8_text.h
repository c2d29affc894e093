// Well-formed UTF-8: telling it from other bytes, reading and writing its characters, and showing bytes in messages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brevorn {

// How many bytes a character whose first byte is lead should have (1 to 4), or 0 when no
// well-formed character starts with that byte.
std::size_t utf8LengthFromLead(unsigned char lead);

// The length (1 to 4) of the well-formed UTF-8 character that starts at bytes[at], or 0
// when none starts there: a stray continuation byte, an overlong form, a surrogate, a code
// point above U+10FFFF, or a sequence cut short by the end of bytes.
std::size_t utf8CharacterLength(std::string_view bytes, std::size_t at);

// The position of the first byte that is not part of a well-formed UTF-8 character, or
// npos when the bytes are all well-formed UTF-8.
std::size_t firstNonUtf8(std::string_view bytes);

// True when the bytes are exactly one well-formed UTF-8 character, so that a message can
// show it as it is.
bool isOneUtf8Character(std::string_view bytes);

// The code point of the well-formed character of the given length (by utf8CharacterLength)
// at bytes[at].
char32_t utf8CodePoint(std::string_view bytes, std::size_t at, std::size_t length);

// Where no well-formed character starts at bytes[at]: how many bytes one replacement
// character stands for. That is the longest start of a well-formed character found there,
// at least one byte, as Unicode recommends: a broken sequence never swallows the
// character after it, and a lead byte cut short by the end is one replacement, not several.
std::size_t malformedUtf8Length(std::string_view bytes, std::size_t at);

// Appends the UTF-8 form of a code point (up to U+10FFFF, not a surrogate).
void appendUtf8(std::string& out, char32_t codePoint);

// Bytes as a message shows them: "0xE9 0x74".
std::string hexBytes(std::string_view bytes);

} // namespace brevorn
