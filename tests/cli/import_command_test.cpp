// The import command on files: what it reads, what it reports and how much, and its exit codes.
#include "roster_commands.h"
#include "roster_test_support.h"

#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace brevorn {
namespace {

using ImportCommand = ScratchFolder;

// Each table in tests/data/import, imported into example.txt, gives the exit status and the
// standard error in NAME.expected.txt; a refused table leaves the output as it was, and one
// taken writes NAME.expected-roster.txt where there is one.
TEST_F(ImportCommand, EachTableGivesItsReportAndWritesOnlyWhenNothingIsRefused)
{
    for (const std::filesystem::path& table : goldenCases("import", 34)) {
        SCOPED_TRACE(table.filename().string());
        writeBytes(path("roster.txt"), fileBytes(dataFile("example.txt")));
        writeBytes(path("out.txt"), "old");
        std::ostringstream err;
        const int code = importTable({table, std::nullopt, path("roster.txt"), path("out.txt")}, err);
        // The folder as the table's path names it, which is how the messages show it.
        const std::string folder = (table.parent_path() / "").string();
        const std::string expected = folder + table.stem().string() + ".expected";
        EXPECT_EQ(without(without("exit status " + std::to_string(code) + "\n" + err.str(), folder), path("")),
                  expectedOf(table));
        EXPECT_EQ(fileBytes(path("roster.txt")), fileBytes(dataFile("example.txt")));
        if (code != ExitClean)
            EXPECT_EQ(fileBytes(path("out.txt")), "old");
        else if (std::filesystem::exists(expected + "-roster.txt"))
            EXPECT_EQ(fileBytes(path("out.txt")), fileBytes(expected + "-roster.txt"));
        else
            EXPECT_EQ(fileBytes(path("out.txt")).substr(0, 6), "GAME:\r");
    }
}

// Named pipes, devices and a capped memory are POSIX matters.
#ifndef _WIN32
TEST_F(ImportCommand, APipeOrADeviceIsRefusedAtOnce)
{
    writeBytes(path("roster.txt"), fileBytes(dataFile("example.txt")));
    ASSERT_EQ(::mkfifo(path("pipe.csv").c_str(), 0600), 0);
    const std::string notRegular = "\": it is not a regular file (a pipe, a device or a socket)\n";
    std::ostringstream err;
    // Were the pipe opened, the call would wait for a writer that never comes.
    EXPECT_EQ(importTable({path("pipe.csv"), std::nullopt, path("roster.txt"), path("out.txt")}, err), ExitTrouble);
    EXPECT_EQ(importTable({"/dev/zero", TableFormat::Csv, path("roster.txt"), path("out.txt")}, err), ExitTrouble);
    EXPECT_EQ(err.str(), "cannot read \"" + path("pipe.csv") + notRegular + "cannot read \"/dev/zero" + notRegular);
    EXPECT_FALSE(std::filesystem::exists(path("out.txt")));
}

TEST_F(ImportCommand, RunningOutOfMemoryIsAMessageAndTrouble)
{
    if (!MemoryCapWorks)
        GTEST_SKIP() << "this build's allocator stops the program when memory runs out instead of throwing";
    writeBytes(path("roster.txt"), fileBytes(dataFile("example.txt")));
    writeBytes(path("huge.csv"), "unit_name\r\n" + std::string(std::size_t(24) << 20, 'n') + "\r\n");
    const std::string got = inChild([&] {
        std::ostringstream err;
        if (!capMemory(8))
            return std::string("cannot cap the memory");
        const int code = importTable({path("huge.csv"), std::nullopt, path("roster.txt"), path("out.txt")}, err);
        return std::to_string(code) + " " + err.str();
    });
    EXPECT_EQ(got, "2 cannot import \"" + path("huge.csv") + "\": there is not enough memory to read it\n");
    EXPECT_EQ(fileBytes(path("roster.txt")), fileBytes(dataFile("example.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("out.txt")));
}
#endif

} // namespace
} // namespace brevorn
