// check and normalize: what each reports and writes, and their exit codes.
#include "roster_commands.h"
#include "roster_test_support.h"

#include <sstream>

namespace brevorn {
namespace {

// The text with every mention of the folder taken out, so that expected paths stay short.
std::string without(std::string text, const std::string& folder)
{
    for (std::size_t at; (at = text.find(folder)) != std::string::npos;)
        text.erase(at, folder.size());
    return text;
}

// check on test data files: the exit code, standard output, "--", standard error.
std::string check(std::vector<std::string> files)
{
    for (std::string& file : files)
        file = dataFile(file);
    std::ostringstream out, err;
    const int code = checkRosterFiles(files, out, err);
    return without(std::to_string(code) + "\n" + out.str() + "--\n" + err.str(), dataFile(""));
}

TEST(CheckCommand, SummariesFindingsAndTheWorstOutcome)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"example.txt"}, "0\nexample.txt: 1 unit; Day_Counter \"12\", Theatre \"Desert\", Season \"Summer\"\n--\n"},
        {{"cli-loose-form.txt"},
         "0\ncli-loose-form.txt: 2 units; Day_Counter \"07\", Theatre \"Steppe\", Season (not given)\n--\n"},
        // A missing day is saved as the empty text, which is no number.
        {{"cli-values-refused.txt"},
         "1\ncli-values-refused.txt: 1 unit; Day_Counter (not given), Theatre \"Desert\", Season (not given)\n--\n"
         "cli-values-refused.txt: Day_Counter \"\": needs a whole number from 0 to 37\n"
         "cli-values-refused.txt: unit 1 \"Able\", unit_ammo \"N/A\": needs a whole number from 0 to 10\n"
         "cli-values-refused.txt: unit 1 \"Able\", unit_losses \"11\": needs a whole number from 0 to 10\n"},
        // Every file is checked, whatever befell the ones before it.
        {{"no-such-roster.txt", "cli-ignored-items.txt", "example.txt"},
         "2\ncli-ignored-items.txt: 1 unit; Day_Counter \"3\", Theatre \"Desert\", Season \"Winter\"\n"
         "example.txt: 1 unit; Day_Counter \"12\", Theatre \"Desert\", Season \"Summer\"\n--\n"
         "no-such-roster.txt: cannot open \"no-such-roster.txt\": No such file or directory\n"
         "cli-ignored-items.txt:8: ignored \"unit_nmae=Baker\": not a key of the unit section\n"
         "cli-ignored-items.txt:10: ignored \"Season=Spring\": not a key of the unit section\n"},
    };
    for (const auto& [names, want] : cases)
        EXPECT_EQ(check(names), want);
}

using NormalizeCommand = ScratchFolder;

TEST_F(NormalizeCommand, WritesWhatTheEditorSavesAlsoOverItsInput)
{
    std::ostringstream err;
    EXPECT_EQ(normalizeRosterFile(dataFile("example.txt"), path("out.txt"), err), ExitClean);
    EXPECT_EQ(fileBytes(path("out.txt")), fileBytes(dataFile("example.txt")));
    writeBytes(path("in.txt"), fileBytes(dataFile("cli-loose-form.txt")));
    EXPECT_EQ(normalizeRosterFile(path("in.txt"), path("in.txt"), err), ExitClean);
    EXPECT_EQ(fileBytes(path("in.txt")), fileBytes(dataFile("cli-loose-form.expected.txt")));
    EXPECT_EQ(err.str(), "");
}

TEST_F(NormalizeCommand, FailuresLeaveOutAsItWas)
{
    writeBytes(path("refused.txt"), fileBytes(dataFile("cli-values-refused.txt")));
    writeBytes(path("out.txt"), "GAME:\r\n");
    std::ostringstream err;
    // A value that cannot be saved exits 1, into another file or into IN itself.
    EXPECT_EQ(normalizeRosterFile(path("refused.txt"), path("out.txt"), err), ExitFindings);
    EXPECT_EQ(normalizeRosterFile(path("refused.txt"), path("refused.txt"), err), ExitFindings);
    // A file that cannot be read or written exits 2.
    EXPECT_EQ(normalizeRosterFile(path("missing.txt"), path("new.txt"), err), ExitTrouble);
    EXPECT_EQ(normalizeRosterFile(dataFile("example.txt"), path("no-such-folder/out.txt"), err), ExitTrouble);

    EXPECT_EQ(fileBytes(path("out.txt")), "GAME:\r\n");
    EXPECT_EQ(fileBytes(path("refused.txt")), fileBytes(dataFile("cli-values-refused.txt")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2) << "only IN and OUT are in the folder";
    const std::string refused = "refused.txt: Day_Counter \"\": needs a whole number from 0 to 37\n"
                                "refused.txt: unit 1 \"Able\", unit_ammo \"N/A\": needs a whole number from 0 to 10\n"
                                "refused.txt: unit 1 \"Able\", unit_losses \"11\": needs a whole number from 0 to 10\n";
    EXPECT_EQ(without(err.str(), path("")),
              refused + "out.txt: not written: 3 values cannot be saved\n" + refused +
                  "refused.txt: not written: 3 values cannot be saved\n"
                  "missing.txt: cannot open \"missing.txt\": No such file or directory\n"
                  "no-such-folder/out.txt: cannot save \"no-such-folder/out.txt\": No such file or directory\n");
}

} // namespace
} // namespace brevorn
