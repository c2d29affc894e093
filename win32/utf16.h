// Texts between the core (UTF-8) and the Windows API (UTF-16).
#pragma once

#include <string>
#include <string_view>

namespace brevorn {

// Both directions keep every character; a sequence that is not valid in its encoding
// becomes U+FFFD, the replacement character, rather than being dropped.
std::wstring toUtf16(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);

} // namespace brevorn
