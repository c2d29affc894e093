// Replacing a file's contents: what a save changes on disk, what it refuses, what it tells, and what it
// leaves behind when it fails or is killed.
#include "file_replace.h"
#include "file_replace_detail.h"
#include "roster_test_support.h"

#include <cerrno>
#include <memory>
#include <set>
#include <vector>

#include <grp.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace brevorn {
namespace {

namespace fs = std::filesystem;

using FileReplace = ScratchFolder;

// A second user and a group of theirs, with no names on most systems: messages give the numbers.
constexpr uid_t OtherUser = 54321;
constexpr gid_t OtherGroup = 54321;

std::set<std::string> entries(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Makes the calling process the second user, a member of OtherGroup only.
bool becomeOtherUser()
{
    const gid_t groups[] = {OtherGroup};
    return ::setgroups(1, groups) == 0 && ::setgid(OtherGroup) == 0 && ::setuid(OtherUser) == 0;
}

// What saving bytes to path tells the second user, saving as them.
std::string reportOfSaveAsOtherUser(const std::string& path, const std::string& bytes)
{
    return inChild([&] {
        if (!becomeOtherUser())
            return std::string("cannot become the second user");
        return saveReport(replaceFileContents(path, bytes), path);
    });
}

std::string attribute(const std::string& path, const char* name)
{
    std::string value(4096, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    return size < 0 ? "(none)" : value.substr(0, static_cast<std::size_t>(size));
}

// A POSIX access list in the kernel's form for a file of mode 0644 that OtherUser may write as well: version 2,
// then tag, permissions and id of the owner, OtherUser, the group, the mask and others.
const std::string AccessListLettingOtherUserWrite("\x02\0\0\0"
                                                  "\x01\0\x06\0\xff\xff\xff\xff"
                                                  "\x02\0\x06\0\x31\xd4\0\0"
                                                  "\x04\0\x04\0\xff\xff\xff\xff"
                                                  "\x10\0\x06\0\xff\xff\xff\xff"
                                                  "\x20\0\x04\0\xff\xff\xff\xff",
                                                  44);

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
        const Expected<SaveOutcome> error = replaceFileContents(target, "new");
        EXPECT_EQ(messageOf(error), "cannot save \"" + target + "\": " + reason);
        EXPECT_EQ(error ? 0u : error.error().problems.size(), 0u) << target;
    }
    EXPECT_EQ(entries(dir), (std::set<std::string>{"folder", "loop", "plain.txt"}));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
    EXPECT_EQ(fileBytes(path("plain.txt")), "x");
}

TEST_F(FileReplace, SavesUnderAnyNameTheFileItNamesKeepingItsModeAndLinks)
{
    fs::create_directory(dir / "sub");
    writeBytes(path("sub/real.txt"), "a longer old content that the new one is shorter than");
    ::chmod(path("sub/real.txt").c_str(), 0640);
    fs::create_symlink("sub/real.txt", dir / "second"); // relative, counted from its folder
    fs::create_symlink(dir / "second", dir / "first");  // absolute, to another link
    fs::create_symlink("sub/fresh.txt", dir / "dangling");
    writeBytes(path("roster.txt"), "old");
    fs::create_hard_link(path("roster.txt"), path("second name"));
    fs::create_hard_link(path("roster.txt"), path("third name"));
    // 85 CJK characters of three bytes each: the longest name a folder takes.
    std::string longName;
    for (int i = 0; i < 85; ++i)
        longName += "\xE5\x90\x8D";
    writeBytes(path(longName), "old");
    // A path of 4088 bytes, a few short of what the system opens at all.
    fs::path deep = dir / "deep";
    while (deep.string().size() + 1 + 200 + 1 + 30 < 4088)
        deep /= std::string(200, 'd');
    fs::create_directories(deep);
    const std::string deepFile = (deep / std::string(4088 - deep.string().size() - 1, 'f')).string();
    ASSERT_EQ(deepFile.size(), 4088u);
    writeBytes(deepFile, "old");
    ASSERT_EQ(fileBytes(deepFile), "old");

    // Each target and what its save says after "saved "TARGET"".
    const std::pair<std::string, std::string> saves[] = {
        {path("new.txt"), ""},
        {path("first"), ""},
        {path("dangling"), ""},
        {path("roster.txt"), ", but the file's 2 other names (hard links) still show the old contents"},
        {path("second name"), ", but the file's other name (a hard link) still shows the old contents"},
        {path(longName), ""},
        {deepFile, ""},
    };
    const mode_t mask = ::umask(022);
    for (const auto& [target, warning] : saves)
        EXPECT_EQ(saveReport(replaceFileContents(target, "new"), target),
                  warning.empty() ? "" : "saved \"" + target + "\"" + warning);
    ::umask(mask);

    for (const std::string name : {"new.txt", "sub/real.txt", "sub/fresh.txt", "roster.txt", "second name"})
        EXPECT_EQ(fileBytes(path(name)), "new") << name;
    EXPECT_EQ(fileBytes(path("third name")), "old");
    EXPECT_EQ(fs::status(path("new.txt")).permissions(), fs::perms(0644));
    EXPECT_EQ(fs::status(path("sub/real.txt")).permissions(), fs::perms(0640));
    EXPECT_EQ(fs::read_symlink(dir / "first"), dir / "second");
    EXPECT_EQ(fs::read_symlink(dir / "second"), fs::path("sub/real.txt"));
    EXPECT_EQ(fs::read_symlink(dir / "dangling"), fs::path("sub/fresh.txt"));
    EXPECT_EQ(fileBytes(path(longName)), "new");
    EXPECT_EQ(fileBytes(deepFile), "new");
    EXPECT_EQ(entries(deep).size(), 1u);
    EXPECT_EQ(entries(dir / "sub"), (std::set<std::string>{"fresh.txt", "real.txt"}));
    EXPECT_EQ(entries(dir), (std::set<std::string>{"dangling", "deep", "first", longName, "new.txt", "roster.txt",
                                                   "second", "second name", "sub", "third name"}));
}

TEST_F(FileReplace, SizeLimitHitPartWayLeavesTheOldFileIntact)
{
    const std::string old(300, 'o');
    writeBytes(path("roster.txt"), old);
    const std::string report = inChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit = {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return saveReport(replaceFileContents(path("roster.txt"), std::string(64 * 1024, 'n')), path("roster.txt"));
    });
    EXPECT_EQ(report, "cannot save \"" + path("roster.txt") + "\": File too large");
    EXPECT_EQ(fileBytes(path("roster.txt")), old);
    EXPECT_EQ(entries(dir), (std::set<std::string>{"roster.txt"}));
}

TEST_F(FileReplace, KilledSavesFileIsClearedByTheNextSaveButARunningSavesFileIsNot)
{
    writeBytes(path("roster.txt"), "old");
    writeBytes(path("slow.txt"), "old");
    // A save held just before it puts its file in place, while others come and go.
    int ready[2], go[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(go), 0);
    const pid_t slow = ::fork();
    ASSERT_GE(slow, 0);
    if (slow == 0) {
        const Expected<SaveOutcome> saved = detail::replaceFileContents(path("slow.txt"), "slow save", [&] {
            char byte = 'r';
            [[maybe_unused]] ssize_t io = ::write(ready[1], &byte, 1);
            io = ::read(go[0], &byte, 1);
        });
        ::_exit(messageOf(saved).empty() ? 0 : 1);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    const std::string killed = inChild(
        [&] { return messageOf(detail::replaceFileContents(path("roster.txt"), "new", [] { ::raise(SIGKILL); })); });
    EXPECT_EQ(killed, "(killed by signal 9)");
    EXPECT_EQ(fileBytes(path("roster.txt")), "old");
    EXPECT_EQ(entries(dir).size(), 4u) << "the killed and the running save's temporary files";

    EXPECT_EQ(messageOf(replaceFileContents(path("quick.txt"), "quick save")), "");
    EXPECT_EQ(entries(dir).size(), 4u) << "one of them gone";
    ASSERT_EQ(::write(go[1], &byte, 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(slow, &status, 0), slow);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
    EXPECT_EQ(fileBytes(path("slow.txt")), "slow save");
    EXPECT_EQ(entries(dir), (std::set<std::string>{"quick.txt", "roster.txt", "slow.txt"}));
    for (int fd : {ready[0], ready[1], go[0], go[1]})
        ::close(fd);
}

TEST_F(FileReplace, TwoSavesToOneFileAtOnceBothSucceedAndLeaveOneWholeVersion)
{
    const std::string versions[] = {std::string(256 * 1024, 'a'), std::string(128 * 1024, 'b')};
    writeBytes(path("roster.txt"), "old");
    std::vector<pid_t> savers;
    for (const std::string& bytes : versions) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int round = 0; round < 25; ++round) {
                if (!saveReport(replaceFileContents(path("roster.txt"), bytes), path("roster.txt")).empty())
                    ::_exit(1);
            }
            ::_exit(0);
        }
        savers.push_back(child);
    }
    for (pid_t saver : savers) {
        int status = 0;
        ASSERT_EQ(::waitpid(saver, &status, 0), saver);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << "a save reported a failure or a warning";
    }
    const std::string saved = fileBytes(path("roster.txt"));
    EXPECT_TRUE(saved == versions[0] || saved == versions[1]) << saved.size() << " bytes";
    EXPECT_EQ(entries(dir), (std::set<std::string>{"roster.txt"}));
}

TEST_F(FileReplace, ExtendedAttributesAndAccessListsAreKept)
{
    const std::string file = path("roster.txt");
    writeBytes(file, "old");
    ::chmod(file.c_str(), 0644);
    const std::string& list = AccessListLettingOtherUserWrite;
    if (::setxattr(file.c_str(), "user.origin", "scanner", 7, 0) != 0 ||
        ::setxattr(file.c_str(), "system.posix_acl_access", list.data(), list.size(), 0) != 0)
        GTEST_SKIP() << "the file system of " << dir << " keeps no extended attributes or access lists";
    // Only an administrator sees, and so keeps, the trusted ones.
    const bool administrator = ::setxattr(file.c_str(), "trusted.origin", "admin", 5, 0) == 0;
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0664)) << "the list's mask is the group's bits";

    EXPECT_EQ(saveReport(replaceFileContents(file, "new"), file), "");
    EXPECT_EQ(fileBytes(file), "new");
    EXPECT_EQ(attribute(file, "user.origin"), "scanner");
    EXPECT_EQ(attribute(file, "system.posix_acl_access"), list);
    EXPECT_EQ(attribute(file, "trusted.origin"), administrator ? "admin" : "(none)");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0664));
}

TEST(FileReplaceOnTmpfs, AttributesThatCannotBeListedRefuseTheSaveAndSayWhichStepFailed)
{
    // tmpfs keeps more extended attribute names than the system lists in one call (64 KiB).
    char folder[] = "/dev/shm/brevorn-test-XXXXXX";
    if (!::mkdtemp(folder))
        GTEST_SKIP() << "no tmpfs at /dev/shm to make a folder in";
    const std::shared_ptr<void> removeFolder(nullptr, [&](void*) { fs::remove_all(folder); });
    const std::string file = std::string(folder) + "/roster.txt";
    writeBytes(file, "old");
    // 300 names of 250 bytes: more than a listing can hold.
    for (int i = 0; i < 300; ++i) {
        const std::string name = "user." + std::to_string(1000 + i) + std::string(240, 'n');
        if (::setxattr(file.c_str(), name.c_str(), "v", 1, 0) != 0)
            GTEST_SKIP() << "tmpfs here keeps no such number of user attributes";
    }
    std::vector<char> names(64 * 1024);
    ASSERT_LT(::listxattr(file.c_str(), names.data(), names.size()), 0);
    ASSERT_EQ(errno, E2BIG);

    EXPECT_EQ(saveReport(replaceFileContents(file, "new"), file),
              "cannot save \"" + file + "\": could not list the extended attributes of \"" + file +
                  "\" to keep them (Argument list too long); the file was left as it was");
    EXPECT_EQ(fileBytes(file), "old");
    EXPECT_EQ(entries(folder), std::set<std::string>{"roster.txt"});
}

// Files of root or of a second user, saved by that second user, who is no administrator.
class SaveAsOtherUser : public ScratchFolder
{
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "saving as a second user needs root to become that user";
        if (inChild([] { return becomeOtherUser() ? "yes" : "no"; }) != "yes")
            GTEST_SKIP() << "this system does not let root become a second user (uid " << OtherUser << ")";
        ScratchFolder::SetUp();
        ::chmod(dir.c_str(), 0755);
    }
};

TEST_F(SaveAsOtherUser, WhatMayBeChangedIsSavedSayingWhatCouldNotBeKeptAndTheRestIsRefusedAndLeftAsItWas)
{
    const std::string ownerChanged = "it now belongs to user 54321 instead of root: only an administrator can save a "
                                     "file that stays another user's; and ",
                      trustedGone = "any trusted.* extended attributes it had are not on the new file: only an "
                                    "administrator can see those to keep them";
    const struct
    {
        std::string file; // in a folder of its own, but for the own file in the sticky folder
        mode_t folderMode;
        gid_t folderGroup;
        uid_t owner;
        gid_t group;
        mode_t mode;
        bool saved;
        std::string report; // after "saved "FILE", but " or "cannot save "FILE": "
    } cases[] = {
        // The file may be written, but its folder takes no new file.
        {"locked/roster.txt", 0755, 0, 0, 0, 0666, false,
         "the folder \"" + path("locked") +
             "\" does not let you add a file, which saving needs in order to replace the file in one step; the file "
             "was left as it was"},
        // The folder takes new files, but the file is read-only, even to its owner.
        {"open/roster.txt", 0777, 0, OtherUser, OtherGroup, 0444, false,
         "the file is read-only for you (its permissions do not let you change it); it was left as it was"},
        // Group and mode let the second user write: they are kept, the owner is not.
        {"shared/roster.txt", 0775, OtherGroup, 0, OtherGroup, 0664, true, ownerChanged + trustedGone},
        // Only the access list lets the second user write: it is kept, the owner and group are not.
        {"listed/roster.txt", 0777, 0, 0, 0, 0644, true,
         ownerChanged +
             "its group is now group 54321 instead of root, a group the saving user is not a member of; "
             "and " +
             trustedGone},
        // Like /tmp: anyone may add a file, but only a file's owner or the folder's owner may replace one.
        {"sticky/roster.txt", 01777, 0, 0, 0, 0666, false,
         "the folder \"" + path("sticky") +
             "\" is shared and marked sticky (as /tmp is): only a file's owner or the folder's owner may replace a "
             "file in it, and this file belongs to root; the file was left as it was; save it under another name, or "
             "ask its owner to save it"},
        {"sticky/own.txt", 01777, 0, OtherUser, OtherGroup, 0644, true, ""},
        // The folder lets the second user add and rename files, but not read it.
        {"unreadable/roster.txt", 0733, 0, OtherUser, OtherGroup, 0644, true,
         "its folder could not be flushed to disk (Permission denied), so the change may not survive a power cut"},
    };
    for (const auto& given : cases) {
        const fs::path folder = (dir / given.file).parent_path();
        const std::string file = path(given.file);
        fs::create_directory(folder);
        writeBytes(file, "old");
        ASSERT_EQ(::chown(file.c_str(), given.owner, given.group), 0);
        ASSERT_EQ(::chmod(file.c_str(), given.mode), 0);
        ASSERT_EQ(::chown(folder.c_str(), 0, given.folderGroup), 0);
        ASSERT_EQ(::chmod(folder.c_str(), given.folderMode), 0);
    }
    const std::string& list = AccessListLettingOtherUserWrite;
    if (::setxattr(path("listed/roster.txt").c_str(), "system.posix_acl_access", list.data(), list.size(), 0) != 0 ||
        ::setxattr(path("shared/roster.txt").c_str(), "trusted.origin", "admin", 5, 0) != 0 ||
        ::setxattr(path("shared/roster.txt").c_str(), "user.origin", "scanner", 7, 0) != 0)
        GTEST_SKIP() << "the file system of " << dir << " keeps no access lists or extended attributes";

    for (const auto& given : cases) {
        const std::string file = path(given.file);
        struct stat before = {}, after = {};
        ::stat(file.c_str(), &before);
        const std::string opening = given.saved ? "saved \"" + file + "\", but " : "cannot save \"" + file + "\": ";
        EXPECT_EQ(reportOfSaveAsOtherUser(file, "new"), given.report.empty() ? "" : opening + given.report);
        EXPECT_EQ(fileBytes(file), given.saved ? "new" : "old") << file;
        ::stat(file.c_str(), &after);
        EXPECT_EQ(after.st_mode, before.st_mode) << file;
        EXPECT_EQ(after.st_uid, given.saved ? OtherUser : given.owner) << file;
    }
    for (const std::string folder : {"locked", "open", "listed", "shared", "unreadable"})
        EXPECT_EQ(entries(path(folder)), std::set<std::string>{"roster.txt"}) << folder;
    EXPECT_EQ(entries(path("sticky")), (std::set<std::string>{"own.txt", "roster.txt"}));
    struct stat shared = {};
    ::stat(path("shared/roster.txt").c_str(), &shared);
    EXPECT_EQ(shared.st_gid, OtherGroup);
    EXPECT_EQ(attribute(path("shared/roster.txt"), "user.origin"), "scanner");
    EXPECT_EQ(attribute(path("shared/roster.txt"), "trusted.origin"), "(none)");
    EXPECT_EQ(attribute(path("listed/roster.txt"), "system.posix_acl_access"), list);
}

} // namespace
} // namespace brevorn
