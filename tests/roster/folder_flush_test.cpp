// A save into a folder whose flush fails. No writable file system here fails it, so this test program's
// own fsync stands in for the system's (the roster library is linked in statically and calls this one).
#include "file_replace.h"
#include "roster_test_support.h"

#include <cerrno>

#include <dlfcn.h>
#include <sys/stat.h>

namespace {

// The error that flushing a folder reports; 0 leaves every flush to the system.
int folderFlushError = 0;

} // namespace

extern "C" int fsync(int fd)
{
    struct stat status;
    if (folderFlushError != 0 && ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        errno = folderFlushError;
        return -1;
    }
    static const auto systemFsync = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    return systemFsync(fd);
}

namespace brevorn {
namespace {

using FolderFlush = ScratchFolder;

TEST_F(FolderFlush, SaveGoesThroughAndWarnsUnlessTheFileSystemCannotFlushFolders)
{
    // The error, and what the save then says after "saved "PATH"".
    const std::pair<int, std::string> cases[] = {
        {EINVAL, ""},
        {EIO, ", but its folder could not be flushed to disk (Input/output error), so the change may not survive a "
              "power cut"},
    };
    const std::string file = path("roster.txt");
    for (const auto& [error, warning] : cases) {
        writeBytes(file, "old");
        folderFlushError = error;
        const Expected<SaveOutcome> saved = replaceFileContents(file, "new " + std::to_string(error));
        folderFlushError = 0;
        EXPECT_EQ(saveReport(saved, file), warning.empty() ? "" : "saved \"" + file + "\"" + warning) << error;
        EXPECT_EQ(fileBytes(file), "new " + std::to_string(error));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "the temporary file is gone";
    }
}

} // namespace
} // namespace brevorn
