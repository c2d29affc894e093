// LOAD and SAVE: the file dialogs, the reading into the table and the game combos, the
// writing from them, and every outcome a user can meet on the way.
#include "fake_editor.h"

#include "roster_reader.h"

#include <gmock/gmock.h>

namespace brevorn::test {
namespace {

using testing::HasSubstr;

// The loads of files with units and settings are in the tests below.
TEST(Command2_Click, FillsOnlyTheGameCombosTheFileGivesAndLeavesTheEditingControls)
{
    Editor e;
    e.setText(Control::Combo13, "typed");
    e.load("empty.txt");
    EXPECT_EQ(e.game() + ' ' + e.shown(), "typed|| |||||OK|||||||||");
    EXPECT_EQ(e.view.loadEnabled, false) << "a roster is loaded once per run";
}

TEST(Command2_Click, CancelNoOrFailureLeavesEverythingAsItWas)
{
    struct Case
    {
        std::vector<Answer> script;
        std::string lastAsked;
    };
    const std::string missing = dataFile("missing.txt"), tooMany = dataFile("editor-units-501.txt");
    const Case cases[] = {
        {{Cancel{}}, "open"}, // no question either
        {{missing, false},
         "yesno Steelvane Brevorn Builder|Loading replaces the 1 unit in the editor. Load " + quotedPath(missing) +
             "?"},
        {{tooMany, true}, "error Steelvane Brevorn Builder|"},
    };
    for (const Case& c : cases) {
        Editor e;
        e.addUnit("Kept", "Blue");
        e.prompts.answers.assign(c.script.begin(), c.script.end());
        e.press(WindowEvent::Command2_Click);
        EXPECT_EQ(std::to_string(e.core.roster().UnitCount) + ' ' + e.slot(1) + ' ' + e.listed() + ' ' + e.game(),
                  "1 Kept||~|~||||Blue|~|||||| [Kept - Blue] ||");
        EXPECT_EQ(e.view.loadEnabled, true);
        EXPECT_THAT(e.prompts.asked.back(), testing::StartsWith(c.lastAsked));
    }
}

TEST(Command2_Click, OverUnitsAddedBeforeAsksAndYesReadsTheFileIntoAnEmptyTable)
{
    Roster fromFile;
    ASSERT_TRUE(ReadRosterFile(dataFile("editor-three-units.txt"), fromFile));
    Editor e;
    for (const char* name : {"Early", "Later", "Last", "Extra"})
        e.addUnit(name, "Green");
    e.setText(Control::Combo16, "Heavy"); // the file's second unit has no anti-aircraft line
    e.select(1);
    e.press(WindowEvent::Command1_Click);
    e.prompts.answers.insert(e.prompts.answers.end(), {dataFile("editor-three-units.txt"), true});
    e.press(WindowEvent::Command2_Click);
    EXPECT_EQ(e.prompts.asked.back(), "yesno Steelvane Brevorn Builder|Loading replaces the 4 units in the editor. "
                                      "Load " +
                                          quotedPath(dataFile("editor-three-units.txt")) + "?");
    // Nothing of the added units survives, not even in the slots past the file's units.
    EXPECT_EQ(e.core.roster().UnitCount, fromFile.UnitCount);
    for (int slot = 1; slot <= 5; ++slot)
        EXPECT_EQ(e.slot(slot), slotDump(fromFile, slot)) << "slot " << slot;
    EXPECT_EQ(e.listed() + ' ' + e.game(), "1st Platoon - Blue|Kampfgruppe Müller - Red|Recon - Blue 12|Desert|Summer");
    EXPECT_EQ(e.view.loadEnabled, false);
}

using Command3_Click = ScratchFolder;

// A cancelled dialog, and No or Yes to "Exit?", are played through by the real-window suite.
TEST_F(Command3_Click, WritesTheTableAndTheGameTextsAsShownButNoTextNotCommitted)
{
    Editor e;
    e.load("editor-three-units.txt");
    e.select(0);
    e.setText(Control::Text1, "not committed, not written");
    e.save(path("saved.txt"), true);
    EXPECT_EQ(fileBytes(path("saved.txt")), fileBytes(dataFile("editor-three-units.expected.txt")));
    EXPECT_EQ(e.prompts.endProgramCalls, 1) << "Yes to Exit? ends the program";
}

TEST_F(Command3_Click, ChecksEveryValueBeforeAnyDialogAndNamesEachUnitAsTheListShowsIt)
{
    Editor e;
    e.load("editor-three-units.txt");
    auto commit = [&e](int row, const char* name, const char* ammo, const char* fuel) {
        e.select(row);
        e.setText(Control::Text1, name);
        e.setText(Control::Combo2, ammo);
        e.setText(Control::Combo3, fuel);
        e.setText(Control::Combo7, "0");
        e.press(WindowEvent::Command1_Click);
    };
    commit(0, "1st Platoon", "N/A", "x");
    commit(1, "KG Weber", "1", ""); // renamed since the list was made
    e.setText(Control::Combo13, "40");
    const std::string before = e.slot(1) + e.slot(2);
    e.prompts.asked.clear();
    e.press(WindowEvent::Command3_Click);
    // A line for each unit, its fields indented under it; the game settings first.
    const std::string refused = "report Steelvane Brevorn Builder|Nothing was saved. Change these values and save "
                                "again:\n\n"
                                "Game settings\n"
                                "    \"Day Counter:\" is \"40\"; needs a whole number from 0 to 37\n";
    EXPECT_EQ(e.prompts.asked,
              std::vector<std::string>{refused +
                                       "unit 1 \"1st Platoon - Blue\"\n"
                                       "    \"Ammo Used (x10%):\" is \"N/A\"; needs a whole number from 0 to 10\n"
                                       "    \"Fuel Used (x10%):\" is \"x\"; needs a whole number from 0 to 10\n"
                                       "unit 2 \"Kampfgruppe Müller - Red\" (now \"KG Weber - Red\")\n"
                                       "    \"Fuel Used (x10%):\" is \"\"; needs a whole number from 0 to 10"})
        << "one message, and neither a file dialog nor Exit?";
    EXPECT_EQ(e.slot(1) + e.slot(2) + ' ' + e.game(), before + " 40|Desert|Summer");
    EXPECT_TRUE(std::filesystem::is_empty(dir));

    // Delete makes the list again from the units, under their names of now.
    e.select(0);
    e.press(WindowEvent::Command5_Click);
    EXPECT_EQ(e.listed(), "KG Weber - Red|Recon - Blue");

    // Once the values are mended, a file that cannot be written is named with the reason.
    commit(0, "Mended", "1", "1");
    e.setText(Control::Combo13, "1");
    e.prompts.answers.push_back(path("no-such-folder/saved.txt"));
    e.press(WindowEvent::Command3_Click);
    EXPECT_THAT(e.prompts.asked.back(),
                AllOf(HasSubstr("error Steelvane Brevorn Builder|"), HasSubstr("no-such-folder/saved.txt")));
}

// Where a file dialog starts, and the name and type list it offers.
std::string started(const FileRequest& request)
{
    std::string types;
    for (const FileFilter& filter : request.filters)
        types += '|' + std::string(filter.name) + ' ' + std::string(filter.patterns);
    return request.folder.generic_string() + '|' + request.fileName.generic_string() + types;
}

TEST_F(Command3_Click, BothDialogsStartWhereTheRosterWasLastReadOrWrittenAndSaveOffersItsName)
{
    const std::string types = "|Roster files *.txt|All files *";
    const std::string scratch = dir.generic_string(),
                      data = std::filesystem::path(dataFile("")).parent_path().generic_string();
    Editor e;
    auto dialogs = [&e](std::initializer_list<Answer> open, std::initializer_list<Answer> save) {
        e.prompts.fileRequests.clear();
        e.prompts.answers.assign(open);
        e.press(WindowEvent::Command2_Click);
        e.prompts.answers.assign(save);
        e.press(WindowEvent::Command3_Click);
        std::string shown;
        for (const FileRequest& request : e.prompts.fileRequests)
            shown += (shown.empty() ? "" : ", ") + started(request);
        return shown;
    };
    e.setText(Control::Combo13, "1");
    // Nothing read or written yet: where the platform starts.
    EXPECT_EQ(dialogs({Cancel{}}, {Cancel{}}), "|" + types + ", |" + types);
    // A save, then a failed read and a failed write, which do not move the roster.
    e.addUnit("Alpha", "Blue");
    e.save(path("first.txt"), false);
    EXPECT_EQ(dialogs({dataFile("missing.txt"), true}, {path("no-such-folder/x.txt")}),
              scratch + '|' + types + ", " + scratch + "|first.txt" + types);
    // A load: the save dialog offers the file's own name.
    EXPECT_EQ(dialogs({dataFile("editor-three-units.txt"), true}, {Cancel{}}),
              scratch + '|' + types + ", " + data + "|editor-three-units.txt" + types);
    EXPECT_EQ(e.prompts.asked.back(), "save") << "a cancel asks nothing more";
}

} // namespace
} // namespace brevorn::test
