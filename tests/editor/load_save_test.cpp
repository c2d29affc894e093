// LOAD and SAVE: the file dialogs, the reading into the table and the game combos, the
// writing from them, and every outcome a user can meet on the way.
#include "fake_editor.h"

#include "roster_reader.h"

#include <gmock/gmock.h>

namespace brevorn::test {
namespace {

using testing::HasSubstr;

TEST(Command2_Click, FillsTheGameCombosThatTheFileGivesAndListsItsUnitsWithNoneSelected)
{
    struct Case
    {
        const char* file;
        std::string listed;
        std::string game;
    };
    const Case cases[] = {
        {"editor-three-units.txt", "1st Platoon - Blue|Kampfgruppe Müller - Red|Recon - Blue", "12|Desert|Summer"},
        // The later of two days, although no item reads so.
        {"editor-day-40.txt", "", "40|Mediterranean|Fall"},
        {"empty.txt", "", "typed||"},
        {"no-sections.txt", "", "typed||"},
        {"last-block-without-used.txt", "Alpha - Blue", "3|Desert|Winter"}, // Bravo is not finished
    };
    for (const Case& c : cases) {
        Editor e;
        e.setText(Control::Combo13, "typed");
        e.load(c.file);
        EXPECT_EQ(e.listed() + ' ' + e.game(), c.listed + ' ' + c.game) << c.file;
        EXPECT_EQ(e.view.loadEnabled, false) << "a roster is loaded once per run";
        EXPECT_EQ(e.shown(), "|||||OK|||||||||") << "the editing controls are not touched";
    }
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
        {{missing, true}, "error Steelvane Brevorn Builder|"},
        {{tooMany, true}, "error Steelvane Brevorn Builder|"},
    };
    for (const Case& c : cases) {
        Editor e;
        e.addUnit("Kept", "Blue");
        e.prompts.answers.assign(c.script.begin(), c.script.end());
        e.core.Command2_Click();
        EXPECT_EQ(e.core.roster().UnitCount, 1);
        EXPECT_EQ(e.slot(1), "Kept||~|~||||Blue|~||||||");
        EXPECT_EQ(e.listed() + ' ' + e.game(), "[Kept - Blue] ||");
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
    e.core.Command1_Click();
    e.prompts.answers.insert(e.prompts.answers.end(), {dataFile("editor-three-units.txt"), true});
    e.core.Command2_Click();
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

class Command3_Click : public ScratchFolder
{
};

TEST_F(Command3_Click, WritesTheTableAndTheGameTextsAsShownThenAsksExit)
{
    const std::string target = path("saved.txt");
    Editor e;
    e.load("editor-three-units.txt");
    e.select(0);
    e.setText(Control::Text1, "not committed, not written");
    e.prompts.answers.push_back(Cancel{});
    e.core.Command3_Click();
    EXPECT_EQ(e.prompts.asked.back(), "save") << "a cancel asks nothing more";
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    const std::string expected = fileBytes(dataFile("editor-three-units.expected.txt"));
    e.save(target, false);
    EXPECT_EQ(fileBytes(target), expected);
    EXPECT_EQ(e.prompts.asked.back() + ' ' + std::to_string(e.prompts.endProgramCalls), "yesno Exit?|Exit? 0");
    // No goes on with the same roster: the next save writes the same bytes, and Yes ends.
    std::filesystem::remove(target);
    e.save(target, true);
    EXPECT_EQ(fileBytes(target) + std::to_string(e.prompts.endProgramCalls), expected + '1');
    // A game text typed and never picked is written as typed.
    e.setText(Control::Combo14, "Monsoon");
    e.save(target, false);
    EXPECT_THAT(fileBytes(target), HasSubstr("Season=Monsoon\r\n"));
}

TEST_F(Command3_Click, RefusalNamesEveryProblemInOneMessageAndWritesNothing)
{
    Editor e;
    e.load("editor-day-40.txt");
    e.addUnit("1st Platoon", "Blue");
    auto commitCounts = [&e](const char* ammo, const char* fuel) {
        e.setText(Control::Combo2, ammo);
        e.setText(Control::Combo3, fuel);
        e.setText(Control::Combo7, "0");
        e.core.Command1_Click();
    };
    commitCounts("N/A", "1");
    e.addUnit("", "Red"); // refused: nothing is added
    e.addUnit("x", "Red");
    e.setText(Control::Text1, "");
    commitCounts("1", "11");
    const std::string before = e.slot(1) + e.slot(2);
    e.prompts.answers.push_back(path("saved.txt"));
    e.core.Command3_Click();
    EXPECT_EQ(e.prompts.asked.back(),
              "error Steelvane Brevorn Builder|Nothing was saved. Change these values and "
              "save again:\n\n"
              "\"Day Counter:\" is \"40\"; needs a whole number from 0 to 37\n"
              "1st Platoon, \"Ammo Used (x10%):\" is \"N/A\"; needs a whole number from 0 to 10\n"
              "Unit 2, \"Fuel Used (x10%):\" is \"11\"; needs a whole number from 0 to 10")
        << "one message and no Exit? question";
    EXPECT_EQ(e.slot(1) + e.slot(2), before);
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    EXPECT_EQ(e.game(), "40|Mediterranean|Fall");
}

} // namespace
} // namespace brevorn::test
