// Replacing a file on Windows: what a save changes on disk, and what it leaves where when it fails.
#include "file_replace.h"
#include "file_replace_windows_detail.h"
#include "windows_file_test_support.h"

#include <functional>
#include <map>
#include <system_error>
#include <thread>
#include <tuple>

namespace brevorn {
namespace {

namespace fs = std::filesystem;

using FileReplace = LongScratchFolder;

std::string utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// Every file of a folder and what it holds.
std::map<std::string, std::string> folderContents(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    forEachEntry(folder, [&](const std::wstring& name, bool isFolder) {
        if (!isFolder)
            files[utf8(name)] = readFile(folder / name);
    });
    return files;
}

// The names a save of this process gives its files first.
std::string ownName(const char* suffix)
{
    return ".brevorn-" + std::to_string(::GetCurrentProcessId()) + "-0" + suffix;
}

// A save quotes the system's own words for why it failed.
std::string systemReason(DWORD error)
{
    return std::system_category().message(int(error));
}

std::string heldReason(DWORD error)
{
    return "another program has the file open and did not let go of it within a second (" + systemReason(error) +
           "); it was left as it was: close that program, or wait a moment, and save again";
}

DWORD systemReplace(const std::wstring& replaced, const std::wstring& replacement, const std::wstring& backup)
{
    return ::ReplaceFileW(replaced.c_str(), replacement.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                          nullptr, nullptr)
               ? 0
               : ::GetLastError();
}

TEST_F(FileReplace, RefusesPathsItCannotSaveTo)
{
    writeBytes(path("plain.txt"), "x");
    writeBytes(path("read-only.txt"), "old");
    ASSERT_TRUE(::SetFileAttributesW((dir / "read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    fs::create_directory(dir / "folder");
    const std::pair<std::string, std::string> cases[] = {
        {"", "no file name was given"},
        {path("missing/r.txt"), systemReason(ERROR_PATH_NOT_FOUND)},
        {path("folder"), "it is a folder"},
        {path("read-only.txt"), readOnlyFileReason()},
    };
    for (const auto& [target, reason] : cases)
        EXPECT_EQ(messageOf(replaceFileContents(target, "new")), "cannot save \"" + target + "\": " + reason);
    EXPECT_EQ(folderContents(dir), (std::map<std::string, std::string>{{"plain.txt", "x"}, {"read-only.txt", "old"}}));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

TEST_F(FileReplace, SavesUnderAnyNameKeepingTheFilesAttributesAndNamingItsOtherNames)
{
    // Names beyond the ANSI code page reach the file system as they are; a path past MAX_PATH
    // works as it is given and in the \\?\ form.
    const fs::path longFolder = dir / std::wstring(100, L'a') / std::wstring(100, L'b') / std::wstring(100, L'c');
    makeFolder(dir / std::wstring(100, L'a'));
    makeFolder(dir / std::wstring(100, L'a') / std::wstring(100, L'b'));
    makeFolder(longFolder);
    ASSERT_GT(longFolder.wstring().size(), std::size_t(MAX_PATH));
    writeFile(dir / "linked.txt", "old");
    ASSERT_TRUE(::CreateHardLinkW((dir / "other name.txt").c_str(), (dir / "linked.txt").c_str(), nullptr));
    constexpr DWORD hidden = FILE_ATTRIBUTE_HIDDEN, systemFile = FILE_ATTRIBUTE_SYSTEM;
    // A file, the attributes of the file it replaces (0 for none), what its first save says.
    const std::tuple<fs::path, DWORD, std::string> cases[] = {
        {dir / "plain.txt", 0, ""},
        {dir / fs::path(u8"r\u00e9gim\u20ac nt.txt"), 0, ""},
        {dir / fs::path(u8"\u03a9mega.txt"), 0, ""},
        {dir / fs::path(u8"\u6771\u4eac.txt"), 0, ""},
        {longFolder / fs::path(u8"\u20acuro.txt"), 0, ""},
        {fs::path(longForm(longFolder / "given long.txt")), 0, ""},
        {dir / "normal.txt", FILE_ATTRIBUTE_NORMAL, ""},
        {dir / "hidden.txt", hidden, ""},
        {dir / "system.txt", systemFile, ""},
        {dir / "hidden system.txt", hidden | systemFile, ""},
        {dir / "linked.txt", 0, "saved \"" + utf8(dir / "linked.txt") + "\", but " + otherNamesWarning(2)},
    };
    for (const auto& [file, attributes, report] : cases) {
        SCOPED_TRACE(utf8(file));
        if (attributes != 0) {
            writeFile(file, "old");
            ASSERT_TRUE(::SetFileAttributesW(longForm(file).c_str(), attributes));
        }
        EXPECT_EQ(saveReport(replaceFileContents(file, "first\r\n"), file), report);
        // The save's own file is hidden; the roster it becomes only when the file it replaced was.
        EXPECT_EQ(::GetFileAttributesW(longForm(file).c_str()) & (hidden | systemFile),
                  attributes & (hidden | systemFile));
        EXPECT_EQ(saveReport(replaceFileContents(file, "second"), file), "");
        EXPECT_EQ(readFile(file), "second");
    }
    EXPECT_EQ(folderContents(longFolder).size(), 2u);
    EXPECT_EQ(folderContents(dir).size(), 10u);
    EXPECT_EQ(folderContents(dir).at("other name.txt"), "old");
}

TEST_F(FileReplace, FileHeldOpenByAnotherProgramStaysAsItWasUntilItIsLetGo)
{
    // Held as a virus scanner or an indexer may hold it: others may read it, but not replace it.
    const fs::path file = dir / "roster.txt";
    writeFile(file, "old");
    const HANDLE held = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(messageOf(replaceFileContents(file, "new")),
              "cannot save \"" + utf8(file) + "\": " + heldReason(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(folderContents(dir), (std::map<std::string, std::string>{{"roster.txt", "old"}}));

    // Let go within the second the save waits: the save goes through.
    std::vector<unsigned long> outcomes;
    detail::PlacingCalls recorded;
    recorded.replace = [&](const std::wstring& replaced, const std::wstring& replacement, const std::wstring& backup) {
        outcomes.push_back(systemReplace(replaced, replacement, backup));
        return outcomes.back();
    };
    std::thread letGo([held] {
        ::Sleep(300);
        ::CloseHandle(held);
    });
    EXPECT_EQ(messageOf(detail::replaceFileContents(file, "new", recorded)), "");
    letGo.join();
    EXPECT_EQ(outcomes.front(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(outcomes.back(), 0u);
    EXPECT_EQ(folderContents(dir), (std::map<std::string, std::string>{{"roster.txt", "new"}}));
}

TEST_F(FileReplace, KilledSavesTemporaryFilesAreRemovedOnlyOnceTheirProcessHasEndedAndBackupsNever)
{
    // A process that has ended; its handle stays open, so that no other process takes its id.
    PROCESS_INFORMATION ended{};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"cmd.exe /c exit";
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                                 &startup, &ended));
    ::WaitForSingleObject(ended.hProcess, INFINITE);
    const std::string stem = ".brevorn-" + std::to_string(ended.dwProcessId);
    // Of the ended saves: a temporary file alone, a backup alone (a save killed before it removed it, or the only
    // copy a failed replacement left), both of one save (killed half way through the replacement). A temporary
    // file of this running process, and a name of another form.
    const std::string removed = stem + "-0.tmp";
    for (const std::string& name :
         {removed, stem + "-1.bak", stem + "-2.tmp", stem + "-2.bak",
          ".brevorn-" + std::to_string(::GetCurrentProcessId()) + "-7.tmp", std::string(".brevorn-notes.tmp")})
        writeFile(dir / name, name);
    std::map<std::string, std::string> files = folderContents(dir);

    EXPECT_EQ(messageOf(replaceFileContents(dir / "roster.txt", "saved")), "");
    files["roster.txt"] = "saved";
    files.erase(removed);
    EXPECT_EQ(folderContents(dir), files);
    ::CloseHandle(ended.hProcess);
    ::CloseHandle(ended.hThread);
}

DWORD systemMove(const std::wstring& from, const std::wstring& to)
{
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : ::GetLastError();
}

// ReplaceFileW's way to ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: the old file moved aside.
DWORD movedAside(const std::wstring& replaced, const std::wstring&, const std::wstring& backup)
{
    return ::MoveFileExW(replaced.c_str(), backup.c_str(), 0) ? ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 : ::GetLastError();
}

// The same, and the new file gone as well.
DWORD bothMoved(const std::wstring& replaced, const std::wstring& replacement, const std::wstring& backup)
{
    ::DeleteFileW(replacement.c_str());
    return movedAside(replaced, replacement, backup);
}

// ERROR_UNABLE_TO_MOVE_REPLACEMENT as it is without a backup name: the old file removed.
DWORD removed(const std::wstring& replaced, const std::wstring&, const std::wstring&)
{
    return ::DeleteFileW(replaced.c_str()) ? ERROR_UNABLE_TO_MOVE_REPLACEMENT : ::GetLastError();
}

auto failing(DWORD error)
{
    return [error](auto&&...) { return error; };
}

// Fails with error for the first times calls, then does what the system does.
template <class Call>
auto failingAtFirst(DWORD error, int times, Call call)
{
    return [error, times, call](auto&&... arguments) mutable { return times-- > 0 ? error : call(arguments...); };
}

std::string leftAsItWas(DWORD error)
{
    return systemReason(error) + "; the file was left as it was";
}

// What a save whose replacement had the given outcome left behind.
struct GivenOutcome
{
    const char* what;
    std::function<DWORD(const std::wstring& replaced, const std::wstring& replacement, const std::wstring& backup)>
        replace;
    std::function<DWORD(const std::wstring& from, const std::wstring& to)> move; // empty: the system's
    bool retried;
    std::map<std::string, std::string> left; // the files in the folder afterwards and what they hold
    std::string reason; // "" for a save that went through; the files in it named without their folder
};

TEST_F(FileReplace, NoOutcomeOfTheReplacementLosesTheRoster)
{
    const std::string tmpName = ownName(".tmp"), bakName = ownName(".bak");
    const std::string tmp = "\"" + tmpName + "\"", bak = "\"" + bakName + "\"";
    const std::map<std::string, std::string> old = {{"roster.txt", "old"}}, saved = {{"roster.txt", "new"}};
    const std::string writeProtected = " (" + systemReason(ERROR_WRITE_PROTECT) + "); ";
    const std::string bothKept = "the old file was moved aside but the new one could not take its place" +
                                 writeProtected + "the new roster is in " + tmp + " and the old one in " + bak +
                                 ": rename one of them to \"roster.txt\"";
    const std::string onlyNew = "the old file was removed but the new one could not take its place" + writeProtected +
                                "the roster is now only in " + tmp + ": rename it to \"roster.txt\"";
    const std::string onlyOld = "the old file was moved aside and could not be put back" + writeProtected +
                                "the roster is now only in " + bak + ": rename it to \"roster.txt\"";
    const auto heldAMoment = failingAtFirst(ERROR_SHARING_VIOLATION, 2, systemMove);
    const auto stuck = failing(ERROR_WRITE_PROTECT);
    const GivenOutcome cases[] = {
        {"refused", failing(ERROR_INVALID_PARAMETER), {}, false, old, leftAsItWas(ERROR_INVALID_PARAMETER)},
        {"held", failing(ERROR_SHARING_VIOLATION), {}, true, old, heldReason(ERROR_SHARING_VIOLATION)},
        {"locked", failing(ERROR_LOCK_VIOLATION), {}, true, old, heldReason(ERROR_LOCK_VIOLATION)},
        {"old not removable", failing(1175), {}, true, old, heldReason(ERROR_UNABLE_TO_REMOVE_REPLACED)},
        {"denied", failing(ERROR_ACCESS_DENIED), {}, true, old, leftAsItWas(ERROR_ACCESS_DENIED)},
        {"new not movable", failing(1176), {}, true, old, leftAsItWas(ERROR_UNABLE_TO_MOVE_REPLACEMENT)},
        {"held a moment", failingAtFirst(ERROR_SHARING_VIOLATION, 2, systemReplace), {}, true, saved, ""},
        {"old moved aside", movedAside, {}, false, saved, ""},
        {"old moved aside, new held a moment", movedAside, heldAMoment, false, saved, ""},
        {"old moved aside, new stuck", movedAside, stuck, false, {{tmpName, "new"}, {bakName, "old"}}, bothKept},
        {"old removed", removed, {}, false, saved, ""},
        {"old removed, new stuck", removed, stuck, false, {{tmpName, "new"}}, onlyNew},
        {"old moved aside, new gone", bothMoved, {}, false, old, leftAsItWas(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)},
        {"old moved aside and not back, new gone", bothMoved, stuck, false, {{bakName, "old"}}, onlyOld},
    };

    // In a folder past MAX_PATH with a name beyond the ANSI code page, which the names of the
    // save's own files and the messages have to get right as well.
    const fs::path base = dir / fs::path(u8"\u03a9 " + std::u8string(100, u8'a')) / std::wstring(100, L'b');
    makeFolder(base.parent_path());
    makeFolder(base);
    ASSERT_GT((base / std::wstring(100, L'c')).wstring().size(), std::size_t(MAX_PATH));
    int number = 0;
    for (const GivenOutcome& given : cases) {
        const fs::path folder = base / std::wstring(100, L'c' + number++);
        makeFolder(folder);
        const fs::path file = folder / "roster.txt";
        writeFile(file, "old");
        int calls = 0;
        detail::PlacingCalls placing;
        placing.replace = [&](const std::wstring& replaced, const std::wstring& replacement,
                              const std::wstring& backup) {
            ++calls;
            return given.replace(replaced, replacement, backup);
        };
        placing.move = given.move;

        EXPECT_EQ(without(messageOf(detail::replaceFileContents(file, "new", placing)), utf8(folder) + "\\"),
                  given.reason.empty() ? "" : "cannot save \"roster.txt\": " + given.reason)
            << given.what;
        EXPECT_EQ(folderContents(folder), given.left) << given.what;
        EXPECT_EQ(calls > 1, given.retried) << given.what << ": " << calls << " calls";
    }
}

} // namespace
} // namespace brevorn
