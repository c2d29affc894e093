// Replacing a file's contents: what a save changes on disk, and what it leaves alone when it fails.
#include "file_replace.h"
#include "file_replace_detail.h"
#include "roster_test_support.h"

#include <cerrno>
#include <set>
#include <tuple>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST_F(FileReplace, RefusesPathsItCannotSaveTo)
{
    writeBytes(path("plain.txt"), "x");
    fs::create_directory(dir / "folder");
    fs::create_symlink("loop", dir / "loop");
    const std::pair<std::string, std::string> cases[] = {
        {"", "no file name was given"},
        {path("missing/r.txt"), "No such file or directory"},
        {path("folder"), "Is a directory"},
        {path("folder/"), "Is a directory"},
        {path("plain.txt/r.txt"), "Not a directory"},
        {path("loop"), "Too many levels of symbolic links"},
        {"/dev/null", "not a regular file"},
    };
    for (const auto& [target, reason] : cases) {
        const Expected<void> error = replaceFileContents(target, "new");
        EXPECT_EQ(messageOf(error), "cannot save \"" + target + "\": " + reason);
        EXPECT_EQ(error ? 0u : error.error().problems.size(), 0u) << target;
    }
    EXPECT_EQ(entries(dir), (std::set<std::string>{"folder", "loop", "plain.txt"}));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
    EXPECT_EQ(fileBytes(path("plain.txt")), "x");
}

TEST_F(FileReplace, NewFileGetsTheUsualModeExistingFileKeepsItsOwnAndLinksStay)
{
    const mode_t mask = ::umask(022);
    EXPECT_EQ(messageOf(replaceFileContents(path("new.txt"), "first\r\n")), "");
    ::umask(mask);
    EXPECT_EQ(fileBytes(path("new.txt")), "first\r\n");
    EXPECT_EQ(fs::status(path("new.txt")).permissions(), fs::perms(0644));

    fs::create_directory(dir / "sub");
    writeBytes(path("sub/real.txt"), "a longer old content that the new one is shorter than");
    ::chmod(path("sub/real.txt").c_str(), 0640);
    fs::create_symlink("sub/real.txt", dir / "second"); // relative, counted from its folder
    fs::create_symlink(dir / "second", dir / "first");  // absolute, to another link
    fs::create_symlink("sub/fresh.txt", dir / "dangling");
    EXPECT_EQ(messageOf(replaceFileContents(path("first"), "short")), "");
    EXPECT_EQ(messageOf(replaceFileContents(path("dangling"), "at the link's end")), "");

    EXPECT_EQ(fileBytes(path("sub/real.txt")), "short");
    EXPECT_EQ(fs::status(path("sub/real.txt")).permissions(), fs::perms(0640));
    EXPECT_EQ(fileBytes(path("sub/fresh.txt")), "at the link's end");
    EXPECT_EQ(fs::read_symlink(dir / "first"), dir / "second");
    EXPECT_EQ(fs::read_symlink(dir / "second"), fs::path("sub/real.txt"));
    EXPECT_EQ(fs::read_symlink(dir / "dangling"), fs::path("sub/fresh.txt"));
    EXPECT_EQ(entries(dir / "sub"), (std::set<std::string>{"fresh.txt", "real.txt"}));
    EXPECT_EQ(entries(dir), (std::set<std::string>{"dangling", "first", "new.txt", "second", "sub"}));
}

TEST_F(FileReplace, SizeLimitHitPartWayLeavesTheOldFileIntact)
{
    const std::string old(300, 'o');
    writeBytes(path("roster.txt"), old);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit = {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string message = messageOf(replaceFileContents(path("roster.txt"), std::string(64 * 1024, 'n')));
        ::_exit(message.empty() ? 2 : message == "cannot save \"" + path("roster.txt") + "\": File too large" ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0)
        << "-1: it crashed; 2: the save claimed success; 3: the error did not name path and reason";
    EXPECT_EQ(fileBytes(path("roster.txt")), old);
    EXPECT_EQ(entries(dir), (std::set<std::string>{"roster.txt"}));
}

TEST_F(FileReplace, FolderRefusingNewFilesFallsBackToWritingInPlace)
{
    // Stand-ins for mkstemp in a folder that refuses new files. For want of permission the file itself
    // is written (so its second name sees the new bytes), for no other reason.
    const std::tuple<detail::MakeTempFile, std::string, bool> refusals[] = {
        {[](char*) { return errno = EACCES, -1; }, "Permission denied", true},
        {[](char*) { return errno = EPERM, -1; }, "Operation not permitted", true},
        {[](char*) { return errno = EROFS, -1; }, "Read-only file system", true},
        {[](char*) { return errno = ENOSPC, -1; }, "No space left on device", false},
    };
    writeBytes(path("roster.txt"), "");
    fs::create_hard_link(path("roster.txt"), path("second name"));
    for (const auto& [makeTemp, reason, inPlace] : refusals) {
        writeBytes(path("roster.txt"), "old old old");
        EXPECT_EQ(messageOf(detail::replaceFileContents(path("roster.txt"), "new", makeTemp)),
                  inPlace ? "" : "cannot save \"" + path("roster.txt") + "\": " + reason);
        EXPECT_EQ(fileBytes(path("second name")), inPlace ? "new" : "old old old") << reason;
        EXPECT_EQ(fileBytes(path("roster.txt")), fileBytes(path("second name"))) << reason;

        // Without a file to write into there is nothing to fall back on.
        EXPECT_EQ(messageOf(detail::replaceFileContents(path("absent.txt"), "new", makeTemp)),
                  "cannot save \"" + path("absent.txt") + "\": " + reason);
        EXPECT_FALSE(fs::exists(path("absent.txt"))) << reason;
    }
}

} // namespace
} // namespace brevorn
