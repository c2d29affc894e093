// Replacing a file's contents: what a save changes on disk, and what it leaves alone when it fails.
#include "roster/file_replace.h"
#include "roster/file_replace_detail.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace brevorn {
namespace {

namespace fs = std::filesystem;

// The error's message, or "" when there was none: a failing check then shows why.
std::string messageOf(const std::optional<RosterError>& error)
{
    return error ? error->message : std::string();
}

class FileReplace : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "brevorn-replace-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        oldMask = ::umask(022);
    }
    void TearDown() override
    {
        ::umask(oldMask);
        fs::remove_all(dir);
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    static void writeFile(const std::string& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string readFile(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static mode_t modeOf(const std::string& file)
    {
        struct stat status = {};
        ::stat(file.c_str(), &status);
        return status.st_mode & 07777;
    }
    static std::set<std::string> entries(const fs::path& folder)
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }

    fs::path dir;
    mode_t oldMask = 0;
};

TEST_F(FileReplace, RefusesPathsItCannotSaveTo)
{
    writeFile(path("plain.txt"), "x");
    fs::create_directory(dir / "folder");
    const struct
    {
        std::string path;
        std::string message;
    } cases[] = {
        {"", "cannot save \"\": no file name was given"},
        {path("missing/r.txt"), "cannot save \"" + path("missing/r.txt") + "\": No such file or directory"},
        {path("folder"), "cannot save \"" + path("folder") + "\": Is a directory"},
        {path("folder/"), "cannot save \"" + path("folder/") + "\": Is a directory"},
        {path("plain.txt/r.txt"), "cannot save \"" + path("plain.txt/r.txt") + "\": Not a directory"},
        {"/dev/null", "cannot save \"/dev/null\": not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::optional<RosterError> error = replaceFileContents(c.path, "new");
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->message, c.message);
        EXPECT_TRUE(error->problems.empty());
    }
    EXPECT_EQ(entries(dir), (std::set<std::string>{"folder", "plain.txt"}));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
    EXPECT_EQ(readFile(path("plain.txt")), "x");
}

TEST_F(FileReplace, NewFileGetsTheUsualModeAndExistingFileKeepsItsOwn)
{
    EXPECT_EQ(messageOf(replaceFileContents(path("new.txt"), "first\r\n")), "");
    EXPECT_EQ(readFile(path("new.txt")), "first\r\n");
    EXPECT_EQ(modeOf(path("new.txt")), 0644u);

    writeFile(path("old.txt"), "a longer old content that the new one is shorter than");
    ::chmod(path("old.txt").c_str(), 0640);
    EXPECT_EQ(messageOf(replaceFileContents(path("old.txt"), "short")), "");
    EXPECT_EQ(readFile(path("old.txt")), "short");
    EXPECT_EQ(modeOf(path("old.txt")), 0640u);

    EXPECT_EQ(messageOf(replaceFileContents(path("old.txt"), "")), "");
    EXPECT_EQ(readFile(path("old.txt")), "");
    EXPECT_EQ(entries(dir), (std::set<std::string>{"new.txt", "old.txt"}));
}

TEST_F(FileReplace, FollowsSymbolicLinksAndKeepsThem)
{
    fs::create_directory(dir / "sub");
    writeFile(path("sub/real.txt"), "old");
    fs::create_symlink("sub/real.txt", dir / "second"); // relative, counted from its folder
    fs::create_symlink(dir / "second", dir / "first");  // absolute, to another link
    fs::create_symlink("sub/fresh.txt", dir / "dangling");

    EXPECT_EQ(messageOf(replaceFileContents(path("first"), "through two links")), "");
    EXPECT_EQ(messageOf(replaceFileContents(path("dangling"), "made at the link's end")), "");

    EXPECT_EQ(fs::read_symlink(dir / "first"), dir / "second");
    EXPECT_EQ(fs::read_symlink(dir / "second"), fs::path("sub/real.txt"));
    EXPECT_EQ(fs::read_symlink(dir / "dangling"), fs::path("sub/fresh.txt"));
    EXPECT_EQ(readFile(path("sub/real.txt")), "through two links");
    EXPECT_EQ(readFile(path("sub/fresh.txt")), "made at the link's end");
    EXPECT_EQ(entries(dir / "sub"), (std::set<std::string>{"fresh.txt", "real.txt"}));
    EXPECT_EQ(entries(dir), (std::set<std::string>{"dangling", "first", "second", "sub"}));

    fs::create_symlink("loop", dir / "loop");
    std::optional<RosterError> error = replaceFileContents(path("loop"), "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->message, "cannot save \"" + path("loop") + "\": Too many levels of symbolic links");
}

TEST_F(FileReplace, SizeLimitHitPartWayLeavesTheOldFileIntact)
{
    const std::string old(300, 'o');
    writeFile(path("roster.txt"), old);
    const std::string bigger(64 * 1024, 'n');

    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::optional<RosterError> error = replaceFileContents(path("roster.txt"), bigger);
        bool named = error && error->message == "cannot save \"" + path("roster.txt") + "\": File too large";
        ::_exit(!error ? 2 : named ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: the save claimed success; 3: the error did not name path and reason";
    EXPECT_EQ(readFile(path("roster.txt")), old);
    EXPECT_EQ(entries(dir), (std::set<std::string>{"roster.txt"}));
}

// A stand-in for mkstemp in a folder that refuses new files.
template <int Error>
int refuseTempFile(char*)
{
    errno = Error;
    return -1;
}

TEST_F(FileReplace, FolderRefusingNewFilesFallsBackToWritingInPlace)
{
    const struct
    {
        detail::MakeTempFile makeTemp;
        std::string reason;
    } refusals[] = {
        {refuseTempFile<EACCES>, "Permission denied"},
        {refuseTempFile<EPERM>, "Operation not permitted"},
        {refuseTempFile<EROFS>, "Read-only file system"},
    };
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.reason);
        writeFile(path("roster.txt"), "old old old");
        struct stat before = {};
        ::stat(path("roster.txt").c_str(), &before);

        EXPECT_EQ(messageOf(detail::replaceFileContents(path("roster.txt"), "new", refusal.makeTemp)), "");
        struct stat after = {};
        ::stat(path("roster.txt").c_str(), &after);
        EXPECT_EQ(readFile(path("roster.txt")), "new");
        EXPECT_EQ(after.st_ino, before.st_ino) << "written in place, not renamed over";

        // Without a file to write into there is nothing to fall back on.
        std::optional<RosterError> error = detail::replaceFileContents(path("absent.txt"), "new", refusal.makeTemp);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->message, "cannot save \"" + path("absent.txt") + "\": " + refusal.reason);
        EXPECT_FALSE(fs::exists(path("absent.txt")));
    }

    // Other reasons do not fall back: the old file stays.
    std::optional<RosterError> error = detail::replaceFileContents(path("roster.txt"), "newer", refuseTempFile<ENOSPC>);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->message, "cannot save \"" + path("roster.txt") + "\": No space left on device");
    EXPECT_EQ(readFile(path("roster.txt")), "new");
}

} // namespace
} // namespace brevorn
