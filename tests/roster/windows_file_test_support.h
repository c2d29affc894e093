// Shared by the Windows tests: files made, read and removed through their \\?\ names, which reach past MAX_PATH.
#pragma once

#include "roster_test_support.h"

#include <filesystem>
#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace brevorn {

// The \\?\ form of an absolute path, which the file functions take past MAX_PATH too.
inline std::wstring longForm(const std::filesystem::path& path)
{
    const std::wstring given = path.wstring();
    return given.starts_with(L"\\\\?\\") ? given : L"\\\\?\\" + given;
}

// Calls visit with the name of each entry of the folder, and whether it is a folder itself.
template <class Visit>
void forEachEntry(const std::filesystem::path& folder, Visit visit)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(longForm(folder / L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            visit(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// Removes a folder with all it holds, read-only files too, also past MAX_PATH, where std::filesystem cannot.
inline void removeTree(const std::filesystem::path& folder)
{
    forEachEntry(folder, [&](const std::wstring& name, bool isFolder) {
        if (isFolder)
            return removeTree(folder / name);
        ::SetFileAttributesW(longForm(folder / name).c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(longForm(folder / name).c_str());
    });
    ::RemoveDirectoryW(longForm(folder).c_str());
}

inline void makeFolder(const std::filesystem::path& folder)
{
    ASSERT_TRUE(::CreateDirectoryW(longForm(folder).c_str(), nullptr)) << "error " << ::GetLastError();
}

inline std::string readFile(const std::filesystem::path& file)
{
    const HANDLE handle =
        ::CreateFileW(longForm(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return "(cannot open: error " + std::to_string(::GetLastError()) + ")";
    std::string bytes;
    char buffer[4096];
    for (DWORD got = 0; ::ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0;)
        bytes.append(buffer, got);
    ::CloseHandle(handle);
    return bytes;
}

inline void writeFile(const std::filesystem::path& file, const std::string& bytes)
{
    const HANDLE handle =
        ::CreateFileW(longForm(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << "error " << ::GetLastError();
    DWORD written = 0;
    EXPECT_TRUE(::WriteFile(handle, bytes.data(), DWORD(bytes.size()), &written, nullptr));
    ::CloseHandle(handle);
}

// A scratch folder that may hold names past MAX_PATH and read-only files.
class LongScratchFolder : public ScratchFolder
{
protected:
    void TearDown() override { removeTree(dir); }
};

} // namespace brevorn
