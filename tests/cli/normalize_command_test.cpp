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

    bool errNames(const std::string& start, const std::string& word) const
    {
        return std::ranges::any_of(errLines, [&](const std::string& line) {
            return line.starts_with(start) && line.find(word) != std::string::npos;
        });
    }

    std::vector<std::string> errLines;
};

TEST_F(NormalizeCommandTest, WritesTheBytesTheEditorSaves)
{
    const std::string out = scratch("out.txt");
    EXPECT_EQ(normalize(dataFile("example.txt"), out), ExitClean);
    EXPECT_EQ(errLines, std::vector<std::string>{});
    EXPECT_EQ(fileBytes(out), fileBytes(dataFile("example.txt")));

    EXPECT_EQ(normalize(dataFile("cli-loose-form.txt"), out), ExitClean);
    EXPECT_EQ(fileBytes(out), fileBytes(dataFile("cli-loose-form.expected.txt")));
}

TEST_F(NormalizeCommandTest, InputCanBeItsOwnOutput)
{
    const std::string file = scratch("roster.txt");
    writeBytes(file, fileBytes(dataFile("cli-loose-form.txt")));
    EXPECT_EQ(normalize(file, file), ExitClean);
    EXPECT_EQ(fileBytes(file), fileBytes(dataFile("cli-loose-form.expected.txt")));
}

TEST_F(NormalizeCommandTest, RefusedValuesAreAllListedAndOutIsUntouched)
{
    const std::string in = dataFile("cli-values-refused.txt");
    const std::string out = scratch("out.txt");
    writeBytes(out, "GAME:\r\n");

    EXPECT_EQ(normalize(in, out), ExitFindings);
    EXPECT_EQ(fileBytes(out), "GAME:\r\n");
    ASSERT_EQ(errLines.size(), 4u) << ::testing::PrintToString(errLines);
    for (const char* field : {"Day_Counter", "unit_ammo", "unit_losses"})
        EXPECT_TRUE(errNames(in + ": ", field)) << field;
    EXPECT_TRUE(errLines.back().starts_with(out + ": ")) << errLines.back();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "only OUT may be in its folder";

    // The same refusal with IN as its own OUT keeps IN.
    const std::string file = scratch("in-place.txt");
    writeBytes(file, fileBytes(in));
    EXPECT_EQ(normalize(file, file), ExitFindings);
    EXPECT_EQ(fileBytes(file), fileBytes(in));
}

TEST_F(NormalizeCommandTest, UnreadableInputOrUnwritableOutputExitsTwo)
{
    const std::string out = scratch("out.txt");
    EXPECT_EQ(normalize(scratch("missing.txt"), out), ExitTrouble);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_TRUE(errNames(scratch("missing.txt") + ": ", "")) << ::testing::PrintToString(errLines);

    const std::string unreachable = scratch("no-such-folder/out.txt");
    EXPECT_EQ(normalize(dataFile("example.txt"), unreachable), ExitTrouble);
    EXPECT_TRUE(errNames(unreachable + ": ", "")) << ::testing::PrintToString(errLines);
}

} // namespace
} // namespace brevorn
