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

// The text with every mention of the folder taken out, so that expected paths stay short.
std::string without(std::string text, const std::string& folder)
{
    for (std::size_t at; (at = text.find(folder)) != std::string::npos;)
        text.erase(at, folder.size());
    return text;
}

// check on test data files: the exit code, standard output, "--", standard error.
std::string check(const std::vector<std::string>& names)
{
    std::vector<std::filesystem::path> files;
    for (const std::string& name : names)
        files.push_back(dataFile(name));
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
         "cli-values-refused.txt:6: unit 1 \"Able\", unit_ammo \"N/A\": needs a whole number from 0 to 10\n"
         "cli-values-refused.txt:7: unit 1 \"Able\", unit_losses \"11\": needs a whole number from 0 to 10\n"},
        // The game would show the UTF-8 bytes of each letter as two Windows-1252 characters.
        {{"cli-saved-as-utf8.txt"},
         "1\ncli-saved-as-utf8.txt: 0 units; Day_Counter \"3\", Theatre \"D\xC3\x83\xC2\xA9sert\", Season "
         "\"\xC3\x83\xE2\x80\xB0t\xC3\x83\xC2\xA9\"\n--\n"
         "cli-saved-as-utf8.txt:3: looks like UTF-8; the game reads Windows-1252 and will show "
         "\"D\xC3\x83\xC2\xA9sert\" "
         "for \"D\xC3\xA9sert\"; save the file as Windows-1252\n"},
        // Every file is checked, whatever befell the ones before it.
        {{"no-such-roster.txt", "cli-ignored-items.txt", "example.txt"},
         "2\ncli-ignored-items.txt: 1 unit; Day_Counter \"3\", Theatre \"Desert\", Season \"Winter\"\n"
         "example.txt: 1 unit; Day_Counter \"12\", Theatre \"Desert\", Season \"Summer\"\n--\n"
         "cannot open \"no-such-roster.txt\": No such file or directory\n"
         "cli-ignored-items.txt:8: ignored \"unit_nmae=Baker\": not a key of the unit section\n"
         "cli-ignored-items.txt:10: ignored \"Season=Spring\": not a key of the unit section\n"},
    };
    for (const auto& [names, want] : cases)
        EXPECT_EQ(check(names), want);
}

TEST(CheckCommand, FindingsInLineOrderWhateverFoundThem)
{
    // The reader, the UTF-8 look, the value checks and the save's own checks each find some.
    const std::string file = "cli-findings-out-of-line-order.txt";
    EXPECT_EQ(
        check({file}),
        "1\n" + file + ": 1 unit; Day_Counter \"40\", Theatre \"D\xC3\x83\xC2\xA9sert\", Season \"Summer\"\n--\n" +
            file + ":2: Day_Counter \"40\": needs a whole number from 0 to 37\n" + file +
            ":3: looks like UTF-8; the game reads Windows-1252 and will show \"D\xC3\x83\xC2\xA9sert\" for "
            "\"D\xC3\xA9sert\"; save the file as Windows-1252\n" +
            file + ":7: unit_name \"Smith\" (\", J.\" after the comma is ignored)\n" + file +
            ":9: unit 1 \"Smith\", unit_ammo \"N/A\": needs a whole number from 0 to 10\n" + file +
            ":10: unit 1 \"Smith\", unit_orders \"Hold, then advance\" reads back as \"Hold\" once saved: a comma "
            "ends the value when the game reads the file\n" +
            file +
            ":11: unit 1 \"Smith\", unit_status \"=SUM(A1)\" starts like a formula: a spreadsheet that opens the "
            "exported table may show what it computes instead (open its columns as Text)\n" +
            file + ":13: ignored \"unit_nmae=Baker\": not a key of the unit section\n" + file +
            ":16: unit block starting here has no unit_used line, so it is not part of the roster\n");
}

using CheckFile = ScratchFolder;

TEST_F(CheckFile, ValuesThatReadBackOtherwiseOrLookLikeFormulas)
{
    const std::string unit = "UNITS:\r\nunit_side=Red\r\n";
    const std::string clean = "1\nr.txt: 1 unit; Day_Counter (not given), Theatre (not given), Season (not given)\n--\n"
                              "r.txt: Day_Counter \"\": needs a whole number from 0 to 37\n";
    const std::pair<std::string, std::string> cases[] = {
        // Quotes let the game read a comma or a line break in a value; the editor saves it without them.
        {"\"unit_name=Smith, J.\"", "r.txt:3: unit 1 \"Smith, J.\", unit_name \"Smith, J.\" reads back as \"Smith\" "
                                    "once saved: a comma ends the value when the game reads the file\n"},
        {"\"unit_type=Medium\r\nTank\"", "r.txt:3: unit 1 \"\", unit_type \"Medium\\r\\nTank\" reads back as "
                                         "\"Medium\" once saved: a line break ends the value when the game reads the "
                                         "file\n"},
        {"unit_AA=x" + std::string(1, '\0') + "y",
         "r.txt:3: unit 1 \"\", unit_AA \"x\\x00y\" holds a NUL character, which is no text; the game would "
         "not read it back\n"},
        {"GAME:\r\n\"Theatre=North, Africa\"\r\n" + unit,
         "1\nr.txt: 1 unit; Day_Counter (not given), Theatre \"North, Africa\", Season (not given)\n--\n"
         "r.txt: Day_Counter \"\": needs a whole number from 0 to 37\n"
         "r.txt:2: Theatre \"North, Africa\" reads back as \"North\" once saved: a comma ends the value when the game "
         "reads the file\n"},
        // What a spreadsheet may evaluate: "=" and anything, or a sign or "@" and a letter or "(".
        {"unit_name==1+1", "r.txt:3: unit 1 \"=1+1\", unit_name \"=1+1\" starts like a formula: a spreadsheet that "
                           "opens the exported table may show what it computes instead (open its columns as Text)\n"},
        {"unit_orders=-(Hold)\r\nunit_SA=@MG\r\nunit_HE=+HE\r\nunit_AP=-AP",
         "r.txt:3: unit 1 \"\", unit_orders \"-(Hold)\" starts like a formula: a spreadsheet that opens the exported "
         "table may show what it computes instead (open its columns as Text)\n"
         "r.txt:4: unit 1 \"\", unit_SA \"@MG\" starts like a formula: a spreadsheet that opens the exported table "
         "may show what it computes instead (open its columns as Text)\n"
         "r.txt:5: unit 1 \"\", unit_HE \"+HE\" starts like a formula: a spreadsheet that opens the exported table "
         "may show what it computes instead (open its columns as Text)\n"
         "r.txt:6: unit 1 \"\", unit_AP \"-AP\" starts like a formula: a spreadsheet that opens the exported table "
         "may show what it computes instead (open its columns as Text)\n"},
        {"unit_name=-1\r\nunit_type=+4 guns\r\nunit_orders=e=mc2\r\nunit_SA=@\r\nunit_HE=-", ""},
        // A setting given twice is named at the line of the value that counts, the last.
        {"GAME:\r\nDay_Counter=40\r\nTheatre=Steppe\r\nGAME:\r\nDay_Counter=50\r\n" + unit,
         "1\nr.txt: 1 unit; Day_Counter \"50\", Theatre \"Steppe\", Season (not given)\n--\n"
         "r.txt:5: Day_Counter \"50\": needs a whole number from 0 to 37\n"},
    };
    for (const auto& [lines, want] : cases) {
        const bool ownGame = lines.rfind("GAME:", 0) == 0;
        writeBytes(path("r.txt"), ownGame ? lines + "unit_used=no\r\n" : unit + lines + "\r\nunit_used=no\r\n");
        std::ostringstream out, err;
        const int code = checkRosterFiles({path("r.txt")}, out, err);
        EXPECT_EQ(without(std::to_string(code) + "\n" + out.str() + "--\n" + err.str(), path("")),
                  ownGame ? want : clean + want)
            << lines;
    }
}

TEST_F(CheckFile, RunsOfIgnoredLinesAreCutShortAfterTheFirstFew)
{
    std::string bytes = "GAME:\r\nx,y,z\r\n";
    for (int line = 3; line <= 1000; ++line)
        bytes += "\x01\x7F garbage " + std::to_string(line) + "\r\n";
    bytes += "Theatre=Desert\r\nnoise 1\r\nnoise 2\r\n";
    writeBytes(path("binary.txt"), bytes);
    std::ostringstream out, err;
    EXPECT_EQ(checkRosterFiles({path("binary.txt")}, out, err), ExitFindings);
    EXPECT_EQ(without(err.str(), path("")),
              "binary.txt: Day_Counter \"\": needs a whole number from 0 to 37\n"
              "binary.txt:2: ignored \"x\": not a key of the game section\n"
              "binary.txt:2: ignored \"y\": not a key of the game section\n"
              "binary.txt:2: ignored \"z\": not a key of the game section\n"
              "binary.txt:3: ignored \"\x01\x7F garbage 3\": not a key of the game section\n"
              "binary.txt:4: ignored \"\x01\x7F garbage 4\": not a key of the game section\n"
              "binary.txt:5: ignored \"\x01\x7F garbage 5\": not a key of the game section\n"
              "binary.txt:6: ignored \"\x01\x7F garbage 6\": not a key of the game section\n"
              "binary.txt:7: … and 994 more ignored lines, up to line 1000\n"
              "binary.txt:1002: ignored \"noise 1\": not a key of the game section\n"
              "binary.txt:1003: ignored \"noise 2\": not a key of the game section\n");
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
    const std::string refused =
        "refused.txt: Day_Counter \"\": needs a whole number from 0 to 37\n"
        "refused.txt:6: unit 1 \"Able\", unit_ammo \"N/A\": needs a whole number from 0 to 10\n"
        "refused.txt:7: unit 1 \"Able\", unit_losses \"11\": needs a whole number from 0 to 10\n";
    EXPECT_EQ(without(err.str(), path("")), refused + "out.txt: not written: 3 values cannot be saved\n" + refused +
                                                "refused.txt: not written: 3 values cannot be saved\n"
                                                "cannot open \"missing.txt\": No such file or directory\n"
                                                "cannot save \"no-such-folder/out.txt\": " +
                                                missingFolderReason() + "\n");
}

using TableCommands = ScratchFolder;

TEST_F(TableCommands, ExportThenImportThroughFilesGivesWhatSaveWrites)
{
    writeBytes(path("roster.txt"), fileBytes(dataFile("cli-loose-form.txt")));
    std::ostringstream out, err;
    for (const char* table : {"units.csv", "units.json"}) {
        EXPECT_EQ(exportRoster({path("roster.txt"), formatFromEnding(table).value(), false, path(table)}, out, err),
                  ExitClean);
        EXPECT_EQ(importTable({path(table), std::nullopt, path("roster.txt"), path("out.txt")}, err), ExitClean);
        EXPECT_EQ(fileBytes(path("out.txt")), fileBytes(dataFile("cli-loose-form.expected.txt"))) << table;
    }
    // Standard output gets the same table as the file.
    EXPECT_EQ(exportRoster({path("roster.txt"), TableFormat::Csv, false, std::nullopt}, out, err), ExitClean);
    EXPECT_EQ(out.str(), fileBytes(path("units.csv")));
    EXPECT_EQ(err.str(), "");
}

// A link of either kind where the system lets the test make one; false where it does not
// (a symbolic link on Windows needs a privilege).
bool linked(void (*makeLink)(const std::filesystem::path&, const std::filesystem::path&), const std::string& target,
            const std::string& link)
{
    try {
        makeLink(target, link);
        return true;
    } catch (const std::filesystem::filesystem_error&) {
        return false;
    }
}

TEST_F(TableCommands, ExportNeverWritesOverTheRosterItReadsNorAnotherUnlessForced)
{
    writeBytes(path("roster.txt"), fileBytes(dataFile("example.txt")));
    writeBytes(path("other-roster.txt"), fileBytes(dataFile("cli-loose-form.txt")));
    writeBytes(path("units-only.txt"), "UNITS:\r\nunit_used=no\r\n");
    writeBytes(path("old.csv"), "unit_name\r\nUNITS:\r\nGAME:\r\n");
    writeBytes(path("notes.txt"), "GAME: notes\r\nDay_Counter is 3\r\n");
    std::filesystem::create_directory(path("sub"));
    const bool symbolic = linked(std::filesystem::create_symlink, path("roster.txt"), path("symbolic-link.txt"));
    const bool hard = linked(std::filesystem::create_hard_link, path("roster.txt"), path("hard-link.txt"));
#ifndef _WIN32
    ASSERT_TRUE(symbolic && hard) << "both links can be made here";
#endif

    const std::string itself = ": not written: it is the roster being exported (roster.txt), which the table would "
                               "replace; give -o another file\n";
    const std::string aRoster = ": not written: it holds a roster, which the table would replace; give -o another "
                                "file, or add --force to replace it\n";
    const std::tuple<std::string, bool, int, std::string> cases[] = {
        {"roster.txt", false, ExitTrouble, "roster.txt" + itself},
        {"roster.txt", true, ExitTrouble, "roster.txt" + itself},
        {"sub/../roster.txt", true, ExitTrouble, "sub/../roster.txt" + itself},
        {symbolic ? "symbolic-link.txt" : "", true, ExitTrouble, "symbolic-link.txt" + itself},
        {hard ? "hard-link.txt" : "", true, ExitTrouble, "hard-link.txt" + itself},
        {"other-roster.txt", false, ExitTrouble, "other-roster.txt" + aRoster},
        {"units-only.txt", false, ExitTrouble, "units-only.txt" + aRoster},
        {"other-roster.txt", true, ExitClean, ""},
        // A table or a note that names the sections holds no roster.
        {"old.csv", false, ExitClean, ""},
        {"notes.txt", false, ExitClean, ""},
        {"battle.xlsx", false, ExitTrouble,
         "battle.xlsx: not written: export writes CSV or JSON text, not a spreadsheet workbook (.xlsx); write "
         "battle.csv instead, open it in the spreadsheet and save it there as .xlsx if you want one\n"},
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
    EXPECT_FALSE(std::filesystem::exists(path("battle.xlsx")));
}

TEST_F(TableCommands, ImportTakesAJsonTablesSettingsAndKeepsTheRostersOtherwise)
{
    writeBytes(path("roster.txt"), fileBytes(dataFile("example.txt")));
    writeBytes(path("units.csv"), "unit_name,unit_side\r\nAble,Red\r\n");
    writeBytes(path("units.json"), R"({"game": {"Season": "Winter"}, "units": [{"unit_name": "Baker"}]})");
    std::ostringstream err;
    EXPECT_EQ(importTable({path("units.csv"), std::nullopt, path("roster.txt"), path("roster.txt")}, err), ExitClean);
    EXPECT_EQ(importTable({path("units.json"), TableFormat::Json, path("roster.txt"), path("out.txt")}, err),
              ExitClean);
    const std::string game = "GAME:\r\nDay_Counter=12\r\nTheatre=Desert\r\n";
    const std::string block = "unit_type=\r\nunit_ammo=0\r\nunit_fuel=0\r\nunit_quality=\r\nunit_status=\r\n"
                              "unit_orders=\r\n";
    const std::string rest = "unit_losses=0\r\nunit_SA=\r\nunit_HE=\r\nunit_AP=\r\nunit_AA=\r\nunit_armor_type=\r\n"
                             "unit_armored=Yes\r\nunit_smoke=\r\nunit_used=no\r\n\r\n";
    EXPECT_EQ(fileBytes(path("roster.txt")),
              game + "Season=Summer\r\n\r\nUNITS:\r\nunit_name=Able\r\n" + block + "unit_side=Red\r\n" + rest);
    EXPECT_EQ(fileBytes(path("out.txt")),
              game + "Season=Winter\r\n\r\nUNITS:\r\nunit_name=Baker\r\n" + block + "unit_side=\r\n" + rest);
    EXPECT_EQ(err.str(), "");
}

TEST_F(TableCommands, ImportRefusalsTouchNoFile)
{
    writeBytes(path("roster.txt"), fileBytes(dataFile("cli-values-refused.txt")));
    writeBytes(path("units.csv"), "unit_name,unit_ammo,unit_color\r\nAble,N/A,red\r\n");
    writeBytes(path("units.json"), R"({"game": {"Day_Counter": "40"}, "units": [{"unit_fuel": "x"}]})");
    writeBytes(path("out.txt"), "old");
    std::ostringstream err;
    EXPECT_EQ(importTable({path("units.csv"), std::nullopt, path("roster.txt"), path("out.txt")}, err), ExitFindings);
    EXPECT_EQ(importTable({path("units.json"), std::nullopt, path("roster.txt"), path("roster.txt")}, err),
              ExitFindings);
    // A file that cannot be read or written is trouble.
    EXPECT_EQ(importTable({path("none.csv"), std::nullopt, path("roster.txt"), path("out.txt")}, err), ExitTrouble);
    EXPECT_EQ(importTable({path("units.json"), TableFormat::Csv, path("none.txt"), path("out.txt")}, err), ExitTrouble);
    writeBytes(path("good.csv"), "unit_name\r\nAble\r\n");
    writeBytes(path("good-roster.txt"), fileBytes(dataFile("example.txt")));
    EXPECT_EQ(importTable({path("good.csv"), std::nullopt, path("good-roster.txt"), path("no-such/out.txt")}, err),
              ExitTrouble);

    EXPECT_EQ(fileBytes(path("out.txt")), "old");
    EXPECT_EQ(fileBytes(path("roster.txt")), fileBytes(dataFile("cli-values-refused.txt")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 6) << "no file was added";
    EXPECT_EQ(without(err.str(), path("")),
              "units.csv: row 1, column C: unknown column \"unit_color\"; the columns are the unit keys, unit_name to "
              "unit_smoke\n"
              "units.csv: row 2, unit_ammo (column B) \"N/A\": needs a whole number from 0 to 10\n"
              "roster.txt: Day_Counter \"\": needs a whole number from 0 to 37\n"
              "out.txt: not written: 3 problems to mend first\n"
              "units.json: units[0].unit_fuel \"x\": needs a whole number from 0 to 10\n"
              "units.json: game.Day_Counter \"40\": needs a whole number from 0 to 37\n"
              "roster.txt: not written: 2 problems to mend first\n"
              "cannot open \"none.csv\": No such file or directory\n"
              "cannot open \"none.txt\": No such file or directory\n"
              "cannot save \"no-such/out.txt\": " +
                  missingFolderReason() + "\n");
}

TEST(DiffCommand, ShowsRenamedAndMovedUnitsAndEscapesControlCharacters)
{
    std::ostringstream out, err;
    EXPECT_EQ(diffRosterFiles(dataFile("cli-diff-turn-1.txt"), dataFile("cli-diff-renamed-moved-escapes.txt"), false,
                              out, err),
              ExitFindings);
    EXPECT_EQ(out.str(), fileBytes(dataFile("cli-diff-renamed-moved-escapes.expected.txt")));
    EXPECT_EQ(err.str(), "");
}

TEST(DiffCommand, ExitsAsDiffDoes)
{
    std::ostringstream out, err;
    EXPECT_EQ(diffRosterFiles(dataFile("example.txt"), dataFile("example.txt"), false, out, err), ExitClean);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(diffRosterFiles(dataFile("example.txt"), dataFile("cli-unfinished-last-block.txt"), false, out, err),
              ExitFindings);
    EXPECT_EQ(out.str(),
              "Day_Counter \"12\" → \"3\"\nSeason \"Summer\" → \"Winter\"\nremoved unit 1 \"1st Platoon - Blue\"\n"
              "added unit 1 \"Able - \"\n");
    EXPECT_EQ(diffRosterFiles(dataFile("example.txt"), dataFile("no-such.txt"), true, out, err), ExitTrouble);
    EXPECT_EQ(without(err.str(), dataFile("")), "cannot open \"no-such.txt\": No such file or directory\n");
}

} // namespace
} // namespace brevorn
