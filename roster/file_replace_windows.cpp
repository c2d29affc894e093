// Replacing a file on Windows: a temporary file beside the target, FlushFileBuffers, then
// ReplaceFileW (which keeps the old file's attributes, access list and streams) or, for a new
// file, MoveFileExW, so that a failed save never leaves a half-written roster behind and no
// outcome of the replacement removes the last copy of the roster.
// The rules are those of the POSIX version: a read-only file is refused, other names of
// the file (hard links) keep the old contents and are mentioned, and the temporary files
// of killed saves are removed by the next save into the folder.
#include "file_replace.h"
#include "file_replace_windows_detail.h"
#include "system_path_windows.h"
#include "utf16.h"

#include <set>
#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace brevorn {

namespace {

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
    return text.empty() ? "system error " + std::to_string(error) : toUtf8(text);
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

// The save's own files beside the target: ".brevorn-", the process, a running number, and
// ".tmp" for the new contents or ".bak" for the name ReplaceFileW gives the old file on its
// way out. The process in the name tells later saves whether the save still runs.
constexpr std::wstring_view OwnPrefix = L".brevorn-";
constexpr std::wstring_view TemporarySuffix = L".tmp";
constexpr std::wstring_view BackupSuffix = L".bak";

std::wstring ownName(unsigned attempt, std::wstring_view suffix)
{
    return std::wstring(OwnPrefix) + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) +
           std::wstring(suffix);
}

// The process that made one of the save's own files, or 0 for a name of another form.
DWORD ownerOf(std::wstring_view name)
{
    if (!name.starts_with(OwnPrefix) || !(name.ends_with(TemporarySuffix) || name.ends_with(BackupSuffix)))
        return 0;
    name.remove_prefix(OwnPrefix.size());
    name.remove_suffix(TemporarySuffix.size());
    const std::size_t dash = name.find(L'-');
    if (dash == 0 || dash == std::wstring_view::npos || dash + 1 == name.size() || dash > 10)
        return 0;
    DWORD id = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (i == dash)
            continue;
        if (name[i] < L'0' || name[i] > L'9')
            return 0;
        if (i < dash)
            id = id * 10 + DWORD(name[i] - L'0');
    }
    return id;
}

// A process that cannot be asked (another user's) counts as running.
bool processRuns(DWORD id)
{
    const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process)
        return ::GetLastError() != ERROR_INVALID_PARAMETER;
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

// Removes the temporary files of saves that were killed before they were done: those whose
// process no longer runs. Backups are never removed here: one left alone may be the only copy
// of a roster whose replacement could not be undone, and the message of that save named it.
// A temporary file beside a backup of the same save is left too: that save stopped half way
// through the replacement, and the two may hold the only copies of the old and new roster.
void removeAbandonedFiles(const std::wstring& folder)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW((folder + std::wstring(OwnPrefix) + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ownerOf(found.cFileName))
            names.insert(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);

    for (const std::wstring& name : names) {
        const std::wstring stem = name.substr(0, name.size() - TemporarySuffix.size());
        const std::wstring partner =
            stem + std::wstring(name.ends_with(TemporarySuffix) ? BackupSuffix : TemporarySuffix);
        if (name.ends_with(TemporarySuffix) && !names.contains(partner) && !processRuns(ownerOf(name)))
            ::DeleteFileW((folder + name).c_str());
    }
}

// How many names the file has; 1 when that cannot be told.
DWORD linkCount(const std::wstring& file)
{
    Handle handle(::CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!handle.valid() || !::GetFileInformationByHandle(handle.get(), &information))
        return 1;
    return information.nNumberOfLinks;
}

bool isFile(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Virus scanners, indexers and sync clients open a file for a moment, and Windows then refuses
// to replace, move or remove it. Such refusals are tried again for about a second.
constexpr ULONGLONG RetryMilliseconds = 1000;

bool mayPass(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// 0, or the step's error once it failed for good.
template <class Step, class StillWorthIt>
DWORD retried(const Step& step, const StillWorthIt& stillWorthIt)
{
    const ULONGLONG deadline = ::GetTickCount64() + RetryMilliseconds;
    DWORD error = step();
    while (error && stillWorthIt(error) && ::GetTickCount64() < deadline) {
        ::Sleep(10);
        error = step();
    }
    return error;
}

template <class Step>
DWORD retried(const Step& step)
{
    return retried(step, mayPass);
}

DWORD systemReplace(const std::wstring& replaced, const std::wstring& replacement, const std::wstring& backup)
{
    return ::ReplaceFileW(replaced.c_str(), replacement.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                          nullptr, nullptr)
               ? 0
               : ::GetLastError();
}

DWORD systemMove(const std::wstring& from, const std::wstring& to)
{
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : ::GetLastError();
}

void removeFile(const std::wstring& file)
{
    retried([&] { return ::DeleteFileW(file.c_str()) ? 0 : ::GetLastError(); });
}

// Why a file that is still there, as it was, could not be replaced.
std::string refusalReason(DWORD error)
{
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED)
        return "another program has the file open and did not let go of it within a second (" + reasonOf(error) +
               "); it was left as it was: close that program, or wait a moment, and save again";
    return reasonOf(error) + "; the file was left as it was";
}

// The attributes a replaced file keeps. Windows' ReplaceFileW keeps them too, Wine's does not.
constexpr DWORD KeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

} // namespace

namespace detail {

Expected<SaveOutcome> replaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                                          const PlacingCalls& calls)
{
    if (path.empty())
        return saveError(path, "no file name was given");
    const std::wstring full = fullPathName(path);
    if (full.empty())
        return saveError(path, reasonOf(::GetLastError()));

    const std::wstring target = extendedLengthForm(full);
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
    const std::size_t nameStart = target.rfind(L'\\') + 1;
    const std::wstring folder = target.substr(0, nameStart);
    const std::wstring name = target.substr(nameStart);
    const std::wstring shownFolder = full.substr(0, full.rfind(L'\\') + 1);
    auto shown = [&](const std::wstring& file) { return quotedPath(std::filesystem::path(shownFolder + file)); };

    removeAbandonedFiles(folder);
    std::wstring temporaryName, backupName;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temporaryName = ownName(attempt, TemporarySuffix);
        backupName = ownName(attempt, BackupSuffix);
        if (::GetFileAttributesW((folder + backupName).c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;
        created = ::CreateFileW((folder + temporaryName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (const DWORD error = ::GetLastError(); created == INVALID_HANDLE_VALUE && error != ERROR_FILE_EXISTS)
            return saveError(path, reasonOf(error));
    }
    Handle temp(created);
    if (!temp.valid())
        return saveError(path, reasonOf(ERROR_FILE_EXISTS));
    const std::wstring temporary = folder + temporaryName;
    const std::wstring backup = folder + backupName;

    // Until the temporary file is put in place the target is untouched, and the temporary
    // file can go.
    auto fail = [&](const std::string& reason) {
        temp.close();
        removeFile(temporary);
        return saveError(path, reason);
    };
    if (DWORD error = writeAll(temp.get(), bytes))
        return fail(reasonOf(error));
    if (!::FlushFileBuffers(temp.get()))
        return fail(reasonOf(::GetLastError()));
    if (DWORD error = temp.close())
        return fail(reasonOf(error));
    // What the file will show once in place: changed (for backup programs), and hidden only
    // when the old one was.
    const DWORD finalAttributes = FILE_ATTRIBUTE_ARCHIVE | (exists ? attributes & KeptAttributes : 0);
    if (!::SetFileAttributesW(temporary.c_str(), finalAttributes))
        return fail(reasonOf(::GetLastError()));

    const auto replace = calls.replace ? calls.replace : systemReplace;
    const auto move = calls.move ? calls.move : systemMove;
    if (!exists) {
        if (DWORD error = retried([&] { return move(temporary, target); }))
            return fail(reasonOf(error));
        return outcome;
    }

    // With a backup name every outcome of ReplaceFileW leaves both files under names the save
    // knows. A refusal leaves them under their own (and is tried again while the old file is
    // still where it was); after ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 the old file is under the
    // backup name and the new one still under the temporary name.
    const DWORD error = retried(
        [&] { return replace(target, temporary, backup); },
        [&](DWORD code) { return (mayPass(code) || code == ERROR_UNABLE_TO_MOVE_REPLACEMENT) && isFile(target); });
    if (!error) {
        removeFile(backup);
        return outcome;
    }
    if (isFile(target)) {
        removeFile(temporary);
        return saveError(path, refusalReason(error));
    }

    // The old file has left its name: whichever copy is still there takes it, the new one first.
    const std::string quotedName = quotedPath(std::filesystem::path(name));
    if (isFile(temporary)) {
        const DWORD moved = retried([&] { return move(temporary, target); });
        if (!moved) {
            if (isFile(backup))
                removeFile(backup);
            return outcome;
        }
        if (isFile(backup))
            return saveError(path, "the old file was moved aside but the new one could not take its place (" +
                                       reasonOf(moved) + "); the new roster is in " + shown(temporaryName) +
                                       " and the old one in " + shown(backupName) + ": rename one of them to " +
                                       quotedName);
        return saveError(path, "the old file was removed but the new one could not take its place (" + reasonOf(moved) +
                                   "); the roster is now only in " + shown(temporaryName) + ": rename it to " +
                                   quotedName);
    }
    if (isFile(backup)) {
        const DWORD moved = retried([&] { return move(backup, target); });
        if (!moved)
            return saveError(path, refusalReason(error));
        return saveError(path, "the old file was moved aside and could not be put back (" + reasonOf(moved) +
                                   "); the roster is now only in " + shown(backupName) + ": rename it to " +
                                   quotedName);
    }
    return saveError(path, reasonOf(error) + "; the file is no longer there");
}

} // namespace detail

Expected<SaveOutcome> replaceFileContents(const std::filesystem::path& path, std::string_view bytes)
{
    return detail::replaceFileContents(path, bytes, {});
}

} // namespace brevorn
