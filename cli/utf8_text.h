// Telling well-formed UTF-8 from other bytes, and showing bytes in messages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brevorn {

// The length (1 to 4) of the well-formed UTF-8 character that starts at bytes[at], or 0
// when none starts there: a stray continuation byte, an overlong form, a surrogate, a code
// point above U+10FFFF, or a sequence cut short by the end of bytes.
std::size_t utf8CharacterLength(std::string_view bytes, std::size_t at);

// How many bytes a character whose first byte is lead should have (1 to 4), or 0 when no
// well-formed character starts with that byte.
std::size_t utf8LengthFromLead(unsigned char lead);

// The position of the first byte that is not part of a well-formed UTF-8 character, or
// npos when the bytes are all well-formed UTF-8.
std::size_t firstNonUtf8(std::string_view bytes);

// Bytes as a message shows them: "0xE9 0x74".
std::string hexBytes(std::string_view bytes);

} // namespace brevorn
