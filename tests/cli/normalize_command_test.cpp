// normalize: the bytes written, writing over the input, and OUT left alone whenever it fails.
#include "cli_test_support.h"
#include "roster_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace brevorn {
namespace {

using namespace brevorn::testing;

class NormalizeCommandTest : public ScratchFolderTest
{
protected:
    int normalize(const std::string& in, const std::string& out)
    {
        std::ostringstream err;
        const int code = normalizeRosterFile(in, out, err);
        errLines = linesOf(err.str());
        return code;
    }

    std::vector<std::string> errLines;
};

TEST_F(NormalizeCommandTest, WrittenFileIsRewrittenToTheSameBytes)
{
    const std::string out = scratch("out.txt");
    EXPECT_EQ(normalize(dataFile("example.txt"), out), ExitClean);
    EXPECT_EQ(errLines, std::vector<std::string>{});
    EXPECT_EQ(fileBytes(out), fileBytes(dataFile("example.txt")));
}

TEST_F(NormalizeCommandTest, LooseFormIsWrittenAsTheEditorSavesIt)
{
    const std::string out = scratch("out.txt");
    writeBytes(out, "an older file that is replaced\r\n");
    EXPECT_EQ(normalize(dataFile("cli-loose-form.txt"), out), ExitClean);
    EXPECT_EQ(fileBytes(out), fileBytes(dataFile("cli-loose-form.expected.txt")));
}

TEST_F(NormalizeCommandTest, InputCanBeItsOwnOutput)
{
    const std::string file = scratch("roster.txt");
    writeBytes(file, fileBytes(dataFile("cli-loose-form.txt")));
    EXPECT_EQ(normalize(file, file), ExitClean);
    EXPECT_EQ(fileBytes(file), fileBytes(dataFile("cli-loose-form.expected.txt")));

    // A second pass has nothing left to change.
    EXPECT_EQ(normalize(file, file), ExitClean);
    EXPECT_EQ(fileBytes(file), fileBytes(dataFile("cli-loose-form.expected.txt")));
}

TEST_F(NormalizeCommandTest, RefusedValuesAreAllListedAndOutIsUntouched)
{
    const std::string in = dataFile("cli-values-refused.txt");
    const std::string out = scratch("out.txt");
    const std::string previous = "GAME:\r\nDay_Counter=1\r\n";
    writeBytes(out, previous);

    EXPECT_EQ(normalize(in, out), ExitFindings);
    EXPECT_EQ(fileBytes(out), previous);
    // The day, the ammunition and the losses, each named in IN; then what became of OUT.
    ASSERT_EQ(errLines.size(), 4u);
    for (const char* field : {"Day_Counter", "unit_ammo", "unit_losses"}) {
        const auto named = std::find_if(errLines.begin(), errLines.end(), [&](const std::string& line) {
            return line.starts_with(in + ": ") && line.find(field) != std::string::npos;
        });
        EXPECT_NE(named, errLines.end()) << field;
    }
    EXPECT_TRUE(errLines.back().starts_with(out + ":")) << errLines.back();
    const auto entries = std::distance(std::filesystem::directory_iterator(folder), {});
    EXPECT_EQ(entries, 1) << "nothing but OUT may be in its folder";
}

TEST_F(NormalizeCommandTest, RefusalInPlaceKeepsTheInput)
{
    const std::string file = scratch("roster.txt");
    const std::string original = fileBytes(dataFile("cli-values-refused.txt"));
    writeBytes(file, original);
    EXPECT_EQ(normalize(file, file), ExitFindings);
    EXPECT_EQ(fileBytes(file), original);
}

TEST_F(NormalizeCommandTest, UnreadableInputOrUnwritableOutputExitsTwo)
{
    const std::string out = scratch("out.txt");
    EXPECT_EQ(normalize(scratch("missing.txt"), out), ExitTrouble);
    EXPECT_FALSE(std::filesystem::exists(out));
    ASSERT_EQ(errLines.size(), 1u);
    EXPECT_TRUE(errLines[0].starts_with(scratch("missing.txt") + ": ")) << errLines[0];

    const std::string unreachable = scratch("no-such-folder/out.txt");
    EXPECT_EQ(normalize(dataFile("example.txt"), unreachable), ExitTrouble);
    ASSERT_EQ(errLines.size(), 1u);
    EXPECT_TRUE(errLines[0].starts_with(unreachable + ":")) << errLines[0];
}

} // namespace
} // namespace brevorn
