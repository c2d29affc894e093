// Replacing a file on Windows: a temporary file beside the target, FlushFileBuffers, then
// ReplaceFileW (which keeps the old file's attributes and access list) or, for a new
// file, MoveFileExW, so that a failed save never leaves a half-written roster behind.
// The rules are those of the POSIX version: a read-only file is refused, other names of
// the file (hard links) keep the old contents and are mentioned, and the temporary files
// of killed saves are removed by the next save into the folder.
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

// True while the process that made a temporary file of ours (its id is in the name) runs.
// A process that cannot be asked (another user's) counts as running.
bool ownerRuns(const std::wstring& name)
{
    const std::size_t start = std::wstring(L".brevorn-").size();
    const std::size_t end = name.find(L'-', start);
    if (end == std::wstring::npos || end == start)
        return false;
    DWORD id = 0;
    for (std::size_t i = start; i < end; ++i) {
        if (name[i] < L'0' || name[i] > L'9')
            return false;
        id = id * 10 + DWORD(name[i] - L'0');
    }
    const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process)
        return ::GetLastError() != ERROR_INVALID_PARAMETER;
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

// Removes the temporary files of saves that were killed before they were done: those whose
// process no longer runs.
void removeAbandonedTemporaryFiles(const std::filesystem::path& folder)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW((folder / L".brevorn-*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !ownerRuns(found.cFileName))
            ::DeleteFileW((folder / found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// How many names the file has; 1 when that cannot be told.
DWORD linkCount(const std::filesystem::path& file)
{
    Handle handle(::CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!handle.valid() || !::GetFileInformationByHandle(handle.get(), &information))
        return 1;
    return information.nNumberOfLinks;
}

} // namespace

Expected<SaveOutcome> replaceFileContents(const std::filesystem::path& path, std::string_view bytes)
{
    if (path.empty())
        return saveError(path, "no file name was given");

    const std::filesystem::path target = std::filesystem::absolute(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return saveError(path, "it is a folder");
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        return saveError(path, readOnlyFileReason());
    SaveOutcome outcome;
    if (const DWORD links = exists ? linkCount(target) : 1; links > 1)
        outcome.warnings.push_back(otherNamesWarning(links));

    // Beside the target, so that putting it in place stays within one volume.
    const std::filesystem::path folder = target.parent_path();
    removeAbandonedTemporaryFiles(folder);
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
    return outcome;
}

} // namespace brevorn
