// Long paths on Windows: the \\?\ form of the full path, which the system takes as it is.
#include "system_path_windows.h"
#include "system_path.h"

#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace brevorn {

namespace {

// Folders are limited to MAX_PATH less room for an 8.3 file name; below that every
// function takes the plain form.
constexpr std::size_t PlainFormLimit = MAX_PATH - 12;

} // namespace

std::wstring fullPathName(const std::filesystem::path& path)
{
    const std::wstring& name = path.native();
    std::wstring full(name.size() + MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD size = ::GetFullPathNameW(name.c_str(), DWORD(full.size()), full.data(), nullptr);
        if (size == 0)
            return {};
        if (size < full.size()) {
            full.resize(size);
            return full;
        }
        // Too small: size is what it needs, with its terminating zero.
        full.resize(size);
    }
    return {};
}

std::wstring extendedLengthForm(const std::wstring& full)
{
    if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\"))
        return full;
    if (full.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::filesystem::path systemPath(const std::filesystem::path& path)
{
    const std::wstring& name = path.native();
    // \\?\ and \\.\ names already go to the system as they are.
    if (name.empty() || name.starts_with(L"\\\\?\\") || name.starts_with(L"\\\\.\\"))
        return path;
    const std::wstring full = fullPathName(path);
    if (full.size() < PlainFormLimit)
        return path;
    return std::filesystem::path(extendedLengthForm(full));
}

} // namespace brevorn
