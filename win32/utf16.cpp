// UTF-8 and UTF-16 through the system's own converters.
#include "utf16.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace brevorn {

std::wstring toUtf16(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(std::size_t(size > 0 ? size : 0), L'\0');
    if (size > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), size);
    return out;
}

std::string toUtf8(std::wstring_view utf16)
{
    if (utf16.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), int(utf16.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), int(utf16.size()), out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace brevorn
