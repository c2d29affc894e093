// The commands on files: what each reports and writes, and their exit codes.
#include "roster_commands.h"
#include "roster_test_support.h"

#include <cerrno>
#include <sstream>
#include <system_error>
#include <tuple>

namespace brevorn {
namespace {

// A save quotes the system's own words for a folder that does not exist.
std::string missingFolderReason()
{
#ifdef _WIN32
    return std::system_category().message(3); // ERROR_PATH_NOT_FOUND
#else
    return std::generic_category().message(ENOENT);
#endif
}

// check on test data files: "exit status N", standard output, "--", standard error.
std::string check(const std::vector<std::string>& names, const std::string& folder = "")
{
    std::vector<std::filesystem::path> files;
    for (const std::string& name : names)
        files.push_back(dataFile(folder + name));
    std::ostringstream out, err;
    const int code = checkRosterFiles(files, out, err);
    return without("exit status " + std::to_string(code) + "\n" + out.str() + "--\n" + err.str(), dataFile(folder));
}

// Each roster in tests/data/check gives the exit status, standard output and standard error
// in NAME.expected.txt.
TEST(CheckCommand, EachRosterGivesItsReport)
{
    for (const std::filesystem::path& roster : goldenCases("check", 7)) {
        const std::string name = roster.filename().string();
        EXPECT_EQ(check({name}, "check/"), expectedOf(roster)) << name;
    }
}

TEST(CheckCommand, EveryFileIsCheckedWhateverBefellTheOnesBefore)
{
    EXPECT_EQ(check({"no-such-roster.txt", "cli-ignored-items.txt", "example.txt"}),
              "exit status 2\ncli-ignored-items.txt: 1 unit; Day_Counter \"3\", Theatre \"Desert\", Season \"Winter\"\n"
              "example.txt: 1 unit; Day_Counter \"12\", Theatre \"Desert\", Season \"Summer\"\n--\n"
              "cannot open \"no-such-roster.txt\": No such file or directory\n"
              "cli-ignored-items.txt:8: ignored \"unit_nmae=Baker\": not a key of the unit section\n"
              "cli-ignored-items.txt:10: ignored \"Season=Spring\": not a key of the unit section\n");
}

using FileCommands = ScratchFolder;

TEST_F(FileCommands, NormalizeExportAndImportWriteWhatTheEditorSavesAlsoOverTheirInput)
{
    writeBytes(path("roster.txt"), fileBytes(dataFile("cli-loose-form.txt")));
    std::ostringstream out, err;
    for (const std::string ending : {"csv", "json"}) {
        const std::string table = "units." + ending;
        EXPECT_EQ(exportRoster({path("roster.txt"), formatFromEnding(table).value(), false, path(table)}, out, err),
                  ExitClean);
        EXPECT_EQ(fileBytes(path(table)), fileBytes(dataFile("cli-loose-form.expected." + ending)));
        EXPECT_EQ(importTable({path(table), std::nullopt, path("roster.txt"), path("out.txt")}, err), ExitClean);
        EXPECT_EQ(fileBytes(path("out.txt")), fileBytes(dataFile("cli-loose-form.expected.txt"))) << table;
    }
    // Standard output gets the same table as the file.
    EXPECT_EQ(exportRoster({path("roster.txt"), TableFormat::Csv, false, std::nullopt}, out, err), ExitClean);
    EXPECT_EQ(out.str(), fileBytes(path("units.csv")));

    EXPECT_EQ(normalizeRosterFile(dataFile("example.txt"), path("out.txt"), err), ExitClean);
    EXPECT_EQ(fileBytes(path("out.txt")), fileBytes(dataFile("example.txt")));
    EXPECT_EQ(normalizeRosterFile(path("roster.txt"), path("roster.txt"), err), ExitClean);
    EXPECT_EQ(fileBytes(path("roster.txt")), fileBytes(dataFile("cli-loose-form.expected.txt")));
    EXPECT_EQ(err.str(), "");
}

TEST_F(FileCommands, RefusalsAndFailuresOfNormalizeAndImportTouchNoFile)
{
    const std::string refusedRoster = fileBytes(dataFile("check/values-refused.txt"));
    writeBytes(path("refused.txt"), refusedRoster);
    writeBytes(path("good.txt"), fileBytes(dataFile("example.txt")));
    writeBytes(path("units.csv"), "unit_name,unit_ammo\r\nAble,N/A\r\n");
    writeBytes(path("units.json"), R"({"game": {"Day_Counter": "40"}, "units": [{"unit_fuel": "x"}]})");
    writeBytes(path("good.csv"), "unit_name\r\nAble\r\n");
    writeBytes(path("out.txt"), "old");
    std::ostringstream err;
    // A value that cannot be saved exits 1, into another file or into IN itself.
    EXPECT_EQ(normalizeRosterFile(path("refused.txt"), path("out.txt"), err), ExitFindings);
    EXPECT_EQ(normalizeRosterFile(path("refused.txt"), path("refused.txt"), err), ExitFindings);
    EXPECT_EQ(importTable({path("units.csv"), std::nullopt, path("refused.txt"), path("out.txt")}, err), ExitFindings);
    EXPECT_EQ(importTable({path("units.json"), std::nullopt, path("refused.txt"), path("refused.txt")}, err),
              ExitFindings);
    // A file that cannot be read or written exits 2.
    EXPECT_EQ(normalizeRosterFile(path("missing.txt"), path("new.txt"), err), ExitTrouble);
    EXPECT_EQ(normalizeRosterFile(path("good.txt"), path("no-such/out.txt"), err), ExitTrouble);
    EXPECT_EQ(importTable({path("none.csv"), std::nullopt, path("refused.txt"), path("out.txt")}, err), ExitTrouble);
    EXPECT_EQ(importTable({path("units.json"), TableFormat::Csv, path("none.txt"), path("out.txt")}, err), ExitTrouble);
    EXPECT_EQ(importTable({path("good.csv"), std::nullopt, path("good.txt"), path("no-such/out.txt")}, err),
              ExitTrouble);

    EXPECT_EQ(fileBytes(path("out.txt")), "old");
    EXPECT_EQ(fileBytes(path("refused.txt")), refusedRoster);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 6) << "no file was added";
    const std::string refused =
        "refused.txt: Day_Counter \"\": needs a whole number from 0 to 37\n"
        "refused.txt:6: unit 1 \"Able\", unit_ammo \"N/A\": needs a whole number from 0 to 10\n"
        "refused.txt:7: unit 1 \"Able\", unit_losses \"11\": needs a whole number from 0 to 10\n";
    const std::string noFolder = "cannot save \"no-such/out.txt\": " + missingFolderReason() + "\n";
    EXPECT_EQ(without(err.str(), path("")),
              refused + "out.txt: not written: 3 values cannot be saved\n" + refused +
                  "refused.txt: not written: 3 values cannot be saved\n"
                  "units.csv: row 2, unit_ammo (column B) \"N/A\": needs a whole number from 0 to 10\n"
                  "refused.txt: Day_Counter \"\": needs a whole number from 0 to 37\n"
                  "out.txt: not written: 2 problems to mend first\n"
                  "units.json: units[0].unit_fuel \"x\": needs a whole number from 0 to 10\n"
                  "units.json: game.Day_Counter \"40\": needs a whole number from 0 to 37\n"
                  "refused.txt: not written: 2 problems to mend first\n"
                  "cannot open \"missing.txt\": No such file or directory\n" +
                  noFolder +
                  "cannot open \"none.csv\": No such file or directory\n"
                  "cannot open \"none.txt\": No such file or directory\n" +
                  noFolder);
}

TEST_F(FileCommands, ExportNeverWritesOverTheRosterItReadsNorAnotherUnlessForced)
{
    writeBytes(path("roster.txt"), fileBytes(dataFile("example.txt")));
    writeBytes(path("other-roster.txt"), fileBytes(dataFile("cli-loose-form.txt")));
    writeBytes(path("units-only.txt"), "UNITS:\r\nunit_used=no\r\n");
    writeBytes(path("old.csv"), "unit_name\r\nUNITS:\r\nGAME:\r\n");
    writeBytes(path("notes.txt"), "GAME: notes\r\nDay_Counter is 3\r\n");
    std::filesystem::create_directory(path("sub"));
    // Links where the system lets the test make them (a symbolic link on Windows needs a privilege).
    std::error_code noSymbolic, noHard;
    std::filesystem::create_symlink(path("roster.txt"), path("symbolic-link.txt"), noSymbolic);
    std::filesystem::create_hard_link(path("roster.txt"), path("hard-link.txt"), noHard);
#ifndef _WIN32
    ASSERT_FALSE(noSymbolic || noHard) << "both links can be made here";
#endif

    const std::string itself = ": not written: it is the roster being exported (roster.txt), which the table would "
                               "replace; give -o another file\n";
    const std::string aRoster = ": not written: it holds a roster, which the table would replace; give -o another "
                                "file, or add --force to replace it\n";
    const std::tuple<std::string, bool, int, std::string> cases[] = {
        {"roster.txt", false, ExitTrouble, "roster.txt" + itself},
        {"roster.txt", true, ExitTrouble, "roster.txt" + itself},
        {"sub/../roster.txt", true, ExitTrouble, "sub/../roster.txt" + itself},
        {noSymbolic ? "" : "symbolic-link.txt", true, ExitTrouble, "symbolic-link.txt" + itself},
        {noHard ? "" : "hard-link.txt", true, ExitTrouble, "hard-link.txt" + itself},
        {"other-roster.txt", false, ExitTrouble, "other-roster.txt" + aRoster},
        {"units-only.txt", false, ExitTrouble, "units-only.txt" + aRoster},
        {"other-roster.txt", true, ExitClean, ""},
        // A table or a note that names the sections holds no roster.
        {"old.csv", false, ExitClean, ""},
        {"notes.txt", false, ExitClean, ""},
        {"battle.ODS", true, ExitTrouble,
         "battle.ODS: not written: export writes CSV or JSON text, not a spreadsheet workbook (.ods); write "
         "battle.csv instead, open it in the spreadsheet and save it there as .ods if you want one\n"},
    };
    for (const auto& [output, force, code, message] : cases) {
        if (output.empty())
            continue; // the link could not be made here
        const std::string before = fileBytes(path(output));
        std::ostringstream out, err;
        ExportRequest request{path("roster.txt"), TableFormat::Csv, false, path(output)};
        request.force = force;
        EXPECT_EQ(exportRoster(request, out, err), code) << output;
        EXPECT_EQ(without(err.str(), path("")), message) << output;
        if (code != ExitClean)
            EXPECT_EQ(fileBytes(path(output)), before) << output;
        else
            EXPECT_EQ(fileBytes(path(output)).substr(0, 10), "unit_name,") << output;
    }
    EXPECT_EQ(fileBytes(path("roster.txt")), fileBytes(dataFile("example.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("battle.ODS")));
}

} // namespace
} // namespace brevorn
