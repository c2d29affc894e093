// Paths to and from UTF-8 by the width of the platform's native name: bytes on POSIX, UTF-16 on Windows.
#include "path_text.h"

#include "utf16.h"

namespace brevorn {

namespace {

template <class Native>
std::string utf8FromNative(const Native& native)
{
    if constexpr (sizeof(typename Native::value_type) == 1)
        return std::string(native.begin(), native.end());
    else
        return toUtf8(native);
}

template <class Unit>
std::filesystem::path nativeFromUtf8(std::string_view utf8)
{
    if constexpr (sizeof(Unit) == 1)
        return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
    else
        return std::filesystem::path(toUtf16<Unit>(utf8));
}

} // namespace

std::string pathText(const std::filesystem::path& path)
{
    return utf8FromNative(path.native());
}

std::string quotedPath(const std::filesystem::path& path)
{
    return "\"" + pathText(path) + "\"";
}

std::filesystem::path pathFromUtf8(std::string_view utf8)
{
    return nativeFromUtf8<std::filesystem::path::value_type>(utf8);
}

} // namespace brevorn
