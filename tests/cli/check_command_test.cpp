// check: the summary per file, findings in "file:line: message" form, and the exit codes.
#include "cli_test_support.h"
#include "roster_commands.h"

#include <gtest/gtest.h>

namespace brevorn {
namespace {

using namespace brevorn::testing;

struct CheckRun
{
    int code = -1;
    std::vector<std::string> out;
    std::vector<std::string> err;
};

CheckRun check(const std::vector<std::string>& paths)
{
    std::ostringstream out, err;
    const int code = checkRosterFiles(paths, out, err);
    return {code, linesOf(out.str()), linesOf(err.str())};
}

struct FileCase
{
    std::string file;
    int code;
    std::string summary;
    std::vector<std::string> errorStarts; // what follows the file name on each line of standard error
    friend void PrintTo(const FileCase& c, std::ostream* os) { *os << c.file; }
};

class CheckOneFileTest : public ::testing::TestWithParam<FileCase>
{
};

TEST_P(CheckOneFileTest, SummaryFindingsAndExitCode)
{
    const FileCase& want = GetParam();
    const std::string path = dataFile(want.file);
    const CheckRun run = check({path});
    EXPECT_EQ(run.code, want.code);
    EXPECT_EQ(run.out, std::vector<std::string>{path + ": " + want.summary});
    ASSERT_EQ(run.err.size(), want.errorStarts.size()) << ::testing::PrintToString(run.err);
    for (std::size_t i = 0; i < run.err.size(); ++i)
        EXPECT_TRUE(run.err[i].starts_with(path + want.errorStarts[i])) << run.err[i];
}

INSTANTIATE_TEST_SUITE_P(
    Files, CheckOneFileTest,
    ::testing::Values(
        FileCase{"example.txt", ExitClean, "1 unit; Day_Counter \"12\", Theatre \"Desert\", Season \"Summer\"", {}},
        FileCase{
            "cli-loose-form.txt", ExitClean, "2 units; Day_Counter \"07\", Theatre \"Steppe\", Season (not given)", {}},
        // A misspelt unit key on line 8, a game key inside the unit section on line 10.
        FileCase{"cli-ignored-items.txt",
                 ExitFindings,
                 "1 unit; Day_Counter \"3\", Theatre \"Desert\", Season \"Winter\"",
                 {":8: ", ":10: "}},
        // The block that lacks its unit_used line starts on line 10.
        FileCase{"cli-unfinished-last-block.txt",
                 ExitFindings,
                 "1 unit; Day_Counter \"3\", Theatre \"Desert\", Season \"Winter\"",
                 {":10: "}},
        // A missing day is saved as the empty text, which is no number; an empty season is fine.
        FileCase{
            "cli-values-refused.txt",
            ExitFindings,
            "1 unit; Day_Counter (not given), Theatre \"Desert\", Season (not given)",
            {": Day_Counter \"\"", ": unit 1 \"Able\", unit_ammo \"N/A\"", ": unit 1 \"Able\", unit_losses \"11\""}}));

class CheckManyFilesTest : public ScratchFolderTest
{
};

TEST_F(CheckManyFilesTest, UnreadableOrOverfullFileExitsTwoAndTheOthersAreStillChecked)
{
    std::string overfull = "GAME:\r\nDay_Counter=1\r\nUNITS:\r\n";
    for (int i = 1; i <= 501; ++i)
        overfull += "unit_name=U" + std::to_string(i) + "\r\nunit_used=no\r\n";
    writeBytes(scratch("units-501.txt"), overfull);
    const std::string example = dataFile("example.txt");
    const std::string ignored = dataFile("cli-ignored-items.txt");
    const std::string missing = scratch("no-such-roster.txt");

    // The worst outcome decides the exit code, wherever its file stands among the others.
    const CheckRun run = check({missing, scratch("units-501.txt"), ignored, example});
    EXPECT_EQ(run.code, ExitTrouble);
    ASSERT_EQ(run.out.size(), 2u);
    EXPECT_TRUE(run.out[0].starts_with(ignored + ": 1 unit;")) << run.out[0];
    EXPECT_TRUE(run.out[1].starts_with(example + ": 1 unit;")) << run.out[1];
    ASSERT_EQ(run.err.size(), 4u) << ::testing::PrintToString(run.err);
    EXPECT_TRUE(run.err[0].starts_with(missing + ": ")) << run.err[0];
    EXPECT_TRUE(run.err[1].starts_with(scratch("units-501.txt") + ": ")) << run.err[1];
    EXPECT_TRUE(run.err[2].starts_with(ignored + ":8: ")) << run.err[2];
}

} // namespace
} // namespace brevorn
