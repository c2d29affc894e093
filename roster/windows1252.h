// Conversion between the file's Windows-1252 bytes and the program's UTF-8 texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brevorn {

// Appends the UTF-8 form of the Windows-1252 bytes to out. Every byte maps to one
// character; the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) become the C1 controls of the same value, so every byte survives a round trip.
void appendWindows1252AsUtf8(std::string_view bytes, std::string& out);
std::string windows1252ToUtf8(std::string_view bytes);

// Appends the Windows-1252 bytes of a UTF-8 text to out. Returns false, leaving out
// with what was converted before it, at the first character the code page cannot hold
// or the first malformed UTF-8 sequence; that character is returned in badCharacter
// (as UTF-8, or the offending bytes) when the pointer is given.
bool appendUtf8AsWindows1252(std::string_view utf8, std::string& out, std::string* badCharacter = nullptr);
std::optional<std::string> utf8ToWindows1252(std::string_view utf8);

} // namespace brevorn
