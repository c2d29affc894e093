// Replacing a file on Windows: a temporary file beside the target, FlushFileBuffers, then
// ReplaceFileW (which keeps the old file's attributes and access list) or, for a new
// file, MoveFileExW, so that a failed save never leaves a half-written roster behind.
#include "file_replace.h"

#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace brevorn {

namespace {

std::string utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

// The system's wording of an error code, without its trailing line end.
std::string reasonOf(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer)
        ::LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    return text.empty() ? "system error " + std::to_string(error) : utf8(text);
}

RosterError saveError(const std::filesystem::path& path, const std::string& reason)
{
    return RosterError{"cannot save " + quotedPath(path) + ": " + reason, {}};
}

// A handle that is closed on every way out.
class Handle
{
public:
    explicit Handle(HANDLE handle)
        : m_handle(handle)
    {
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }

    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

    // 0, or the error of a failed close.
    DWORD close()
    {
        if (!valid())
            return 0;
        const BOOL closed = ::CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return closed ? 0 : ::GetLastError();
    }

private:
    HANDLE m_handle;
};

// 0, or the error of the first failed write.
DWORD writeAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = DWORD(bytes.size() > 0x40000000 ? 0x40000000 : bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr))
            return ::GetLastError();
        bytes.remove_prefix(written);
    }
    return 0;
}

// A short name that cannot clash with another save's: the process and a running number.
std::wstring temporaryName(unsigned attempt)
{
    return L".brevorn-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) + L".tmp";
}

} // namespace

Expected<void> replaceFileContents(const std::filesystem::path& path, std::string_view bytes)
{
    if (path.empty())
        return saveError(path, "no file name was given");

    const std::filesystem::path target = std::filesystem::absolute(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return saveError(path, "it is a folder");

    // Beside the target, so that putting it in place stays within one volume.
    const std::filesystem::path folder = target.parent_path();
    std::filesystem::path tempPath;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
        tempPath = folder / temporaryName(attempt);
        created =
            ::CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
            return saveError(path, reasonOf(::GetLastError()));
    }
    Handle temp(created);
    if (!temp.valid())
        return saveError(path, reasonOf(ERROR_FILE_EXISTS));

    auto fail = [&](DWORD error) {
        temp.close();
        ::DeleteFileW(tempPath.c_str());
        return saveError(path, reasonOf(error));
    };
    if (DWORD error = writeAll(temp.get(), bytes))
        return fail(error);
    if (!::FlushFileBuffers(temp.get()))
        return fail(::GetLastError());
    if (DWORD error = temp.close())
        return fail(error);

    const BOOL placed =
        exists ? ::ReplaceFileW(target.c_str(), tempPath.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                nullptr)
               : ::MoveFileExW(tempPath.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!placed)
        return fail(::GetLastError());
    return {};
}

} // namespace brevorn
