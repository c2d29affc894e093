// Replacing a file on Windows: what a save changes on disk, and what it leaves alone when it fails.
#include "file_replace.h"
#include "roster_test_support.h"

#include <set>
#include <system_error>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace brevorn {
namespace {

namespace fs = std::filesystem;

using FileReplace = ScratchFolder;

std::set<std::string> entries(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// The save's own temporary files in a folder. Wine's ReplaceFileW, unlike Windows', may
// leave a file of its own behind when it fails; that one is not the save's to remove.
std::set<std::string> temporaries(const fs::path& folder)
{
    std::set<std::string> names;
    for (const std::string& name : entries(folder))
        if (name.starts_with(".brevorn-"))
            names.insert(name);
    return names;
}

// A save quotes the system's own words for why it failed.
std::string systemReason(DWORD error)
{
    return std::system_category().message(int(error));
}

TEST_F(FileReplace, RefusesPathsItCannotSaveTo)
{
    writeBytes(path("plain.txt"), "x");
    fs::create_directory(dir / "folder");
    const std::pair<std::string, std::string> cases[] = {
        {"", "no file name was given"},
        {path("missing/r.txt"), systemReason(ERROR_PATH_NOT_FOUND)},
        {path("folder"), "it is a folder"},
    };
    for (const auto& [target, reason] : cases)
        EXPECT_EQ(messageOf(replaceFileContents(target, "new")), "cannot save \"" + target + "\": " + reason);
    EXPECT_EQ(entries(dir), (std::set<std::string>{"folder", "plain.txt"}));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
    EXPECT_EQ(fileBytes(path("plain.txt")), "x");
}

TEST_F(FileReplace, WritesNewFilesAndReplacesOldOnesWithoutLeavingAnythingBeside)
{
    EXPECT_EQ(messageOf(replaceFileContents(path("new.txt"), "first\r\n")), "");
    EXPECT_EQ(fileBytes(path("new.txt")), "first\r\n");

    writeBytes(path("old.txt"), "a longer old content that the new one is shorter than");
    EXPECT_EQ(messageOf(replaceFileContents(path("old.txt"), "short")), "");
    EXPECT_EQ(fileBytes(path("old.txt")), "short");

    // A name beyond the ANSI code page reaches the file system as it is.
    const fs::path wide = dir / fs::path(u8"r\u00e9gim\u20ac nt.txt");
    EXPECT_EQ(messageOf(replaceFileContents(wide, "wide")), "");
    std::ifstream written(wide, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), "wide");
    EXPECT_EQ(entries(dir).size(), 3u);
}

TEST_F(FileReplace, FileThatCannotBeReplacedStaysAsItWas)
{
    // A read-only file, and one that another program holds open without letting it be replaced.
    writeBytes(path("read-only.txt"), "old");
    ASSERT_TRUE(::SetFileAttributesW((dir / "read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    writeBytes(path("held.txt"), "old");
    const HANDLE held = ::CreateFileW((dir / "held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    for (const char* name : {"held.txt", "read-only.txt"}) {
        const std::string message = messageOf(replaceFileContents(path(name), "new"));
        const std::string head = "cannot save \"" + path(name) + "\": ";
        EXPECT_EQ(message.substr(0, head.size()), head) << name;
        EXPECT_GT(message.size(), head.size()) << name << ": the reason is missing";
        EXPECT_EQ(fileBytes(path(name)), "old") << name;
        EXPECT_EQ(temporaries(dir), std::set<std::string>{}) << name;
    }
    ::CloseHandle(held);
    ::SetFileAttributesW((dir / "read-only.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace
} // namespace brevorn
