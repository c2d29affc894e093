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

std::string rosterWithUnits(int units)
{
    std::string bytes = "GAME:\r\nDay_Counter=1\r\nTheatre=T\r\nSeason=S\r\n\r\nUNITS:\r\n";
    for (int i = 1; i <= units; ++i)
        bytes += "unit_name=U" + std::to_string(i) + "\r\nunit_used=no\r\n";
    return bytes;
}

class CheckCommandTest : public ScratchFolderTest
{
};

TEST_F(CheckCommandTest, CleanFilesAreSummarisedAndExitZero)
{
    const std::string example = dataFile("example.txt");
    const std::string loose = dataFile("cli-loose-form.txt");
    const CheckRun run = check({example, loose});
    EXPECT_EQ(run.code, ExitClean);
    EXPECT_EQ(run.err, std::vector<std::string>{});
    EXPECT_EQ(run.out, (std::vector<std::string>{
                           example + ": 1 unit; Day_Counter \"12\", Theatre \"Desert\", Season \"Summer\"",
                           loose + ": 2 units; Day_Counter \"07\", Theatre \"Steppe\", Season \"Winter\"",
                       }));
}

TEST_F(CheckCommandTest, IgnoredItemsAreReportedAtTheirLines)
{
    const std::string path = dataFile("cli-ignored-items.txt");
    const CheckRun run = check({path});
    EXPECT_EQ(run.code, ExitFindings);
    ASSERT_EQ(run.out.size(), 1u);
    EXPECT_TRUE(run.out[0].starts_with(path + ": 1 unit;")) << run.out[0];
    // The misspelt unit key on line 8 and the game key inside the unit section on line 10.
    ASSERT_EQ(run.err.size(), 2u);
    EXPECT_TRUE(run.err[0].starts_with(path + ":8: ")) << run.err[0];
    EXPECT_TRUE(run.err[1].starts_with(path + ":10: ")) << run.err[1];
}

TEST_F(CheckCommandTest, UnfinishedLastBlockIsAFindingAndNotCounted)
{
    const std::string path = dataFile("cli-unfinished-last-block.txt");
    const CheckRun run = check({path});
    EXPECT_EQ(run.code, ExitFindings);
    ASSERT_EQ(run.out.size(), 1u);
    EXPECT_TRUE(run.out[0].starts_with(path + ": 1 unit;")) << run.out[0];
    ASSERT_EQ(run.err.size(), 1u);
    EXPECT_TRUE(run.err[0].starts_with(path + ":10: ")) << run.err[0];
}

TEST_F(CheckCommandTest, ValuesThatSavingWouldRefuseAreEachReported)
{
    const std::string path = dataFile("cli-values-refused.txt");
    const CheckRun run = check({path});
    EXPECT_EQ(run.code, ExitFindings);
    EXPECT_EQ(run.out, std::vector<std::string>{path + ": 1 unit; Day_Counter (not given), Theatre \"Desert\", "
                                                       "Season (not given)"});
    // The missing day is saved as the empty text, which is no number; the season may be empty.
    ASSERT_EQ(run.err.size(), 3u);
    const std::vector<std::pair<std::string, std::string>> want = {
        {"Day_Counter", "\"\""}, {"unit 1 \"Able\", unit_ammo", "\"N/A\""}, {"unit 1 \"Able\", unit_losses", "\"11\""}};
    for (std::size_t i = 0; i < want.size(); ++i) {
        const std::string& line = run.err[i];
        EXPECT_TRUE(line.starts_with(path + ": ")) << line;
        EXPECT_NE(line.find(want[i].first), std::string::npos) << line;
        EXPECT_NE(line.find(want[i].second), std::string::npos) << line;
    }
}

TEST_F(CheckCommandTest, UnreadableFileExitsTwoAndTheOthersAreStillChecked)
{
    const std::string missing = scratch("no-such-roster.txt");
    const std::string ignored = dataFile("cli-ignored-items.txt");
    const CheckRun run = check({dataFile("example.txt"), missing, ignored});
    EXPECT_EQ(run.code, ExitTrouble);
    ASSERT_EQ(run.out.size(), 2u);
    EXPECT_TRUE(run.out[0].starts_with(dataFile("example.txt") + ": ")) << run.out[0];
    EXPECT_TRUE(run.out[1].starts_with(ignored + ": ")) << run.out[1];
    ASSERT_EQ(run.err.size(), 3u);
    EXPECT_TRUE(run.err[0].starts_with(missing + ": ")) << run.err[0];
    EXPECT_TRUE(run.err[1].starts_with(ignored + ":8: ")) << run.err[1];
}

TEST_F(CheckCommandTest, FiveHundredUnitsFitAndOneMoreExitsTwo)
{
    writeBytes(scratch("units-500.txt"), rosterWithUnits(500));
    writeBytes(scratch("units-501.txt"), rosterWithUnits(501));

    const CheckRun full = check({scratch("units-500.txt")});
    EXPECT_EQ(full.code, ExitClean);
    ASSERT_EQ(full.out.size(), 1u);
    EXPECT_TRUE(full.out[0].starts_with(scratch("units-500.txt") + ": 500 units;")) << full.out[0];

    const CheckRun over = check({scratch("units-501.txt"), dataFile("example.txt")});
    EXPECT_EQ(over.code, ExitTrouble);
    ASSERT_EQ(over.out.size(), 1u);
    EXPECT_TRUE(over.out[0].starts_with(dataFile("example.txt") + ": ")) << over.out[0];
    ASSERT_FALSE(over.err.empty());
    EXPECT_TRUE(over.err.back().starts_with(scratch("units-501.txt") + ":")) << over.err.back();
}

} // namespace
} // namespace brevorn
