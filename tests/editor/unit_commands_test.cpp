// Showing, committing, adding and deleting units, and what start-up fills in.
#include "fake_editor.h"

#include "choice_lists.h"

#include <gmock/gmock.h>

namespace brevorn::test {
namespace {

// The units of editor-three-units.txt as the controls show them; the second has its counts unset.
const std::string units[] = {
    "1st Platoon|Medium Tank|2|1|Veteran|OK|Maneuver|Blue|0|MG|Medium|Medium|None|Medium|Yes",
    "Kampfgruppe Müller|Panzerzug|||Elite|Disordered|Static Fire|Red||Infantry|Light|None|Light|None|No",
    "Recon|Armored Car/Tankette|07|10|Fair|OK|March|Blue|3|MG|None|Light|None|Light|No"};
const std::string nothing(14, '|');

TEST(Form_Load, FillsEveryComboAndSetsNoTextButTheStatus)
{
    Editor e;
    using enum Control;
    EXPECT_EQ(e.view.items.size(), 16);
    EXPECT_EQ(e.shown() + ' ' + e.game() + ' ' + e.listed(), "|||||OK||||||||| || ");
    EXPECT_EQ(e.view.items.at(Combo12).front(), "OK") << "the status OK is an item as well as the initial text";
}

TEST(List1_Click, SelectingEntryPShowsSlotPPlusOneAndNoSelectionShowsNothing)
{
    Editor e;
    e.load("editor-three-units.txt");
    for (int row : {2, 0, 1}) {
        e.select(row);
        EXPECT_EQ(e.shown(), units[row]);
    }
    e.select(-1);
    EXPECT_EQ(e.shown() + ' ' + e.game(), nothing + " 12|Desert|Summer");
}

TEST(Command1_Click, StoresEveryTextVerbatimInTheSelectedSlotAndLeavesTheEntryButNeedsASelection)
{
    Editor e;
    e.load("editor-three-units.txt");
    e.select(1);
    EXPECT_EQ(e.slot(2),
              "Kampfgruppe Müller|Panzerzug|~|~|Elite|Disordered|Static Fire|Red|~|Infantry|Light|None|Light|None|No");
    e.press(WindowEvent::Command1_Click);
    EXPECT_EQ(e.slot(2), units[1]) << "committed counts are set, to the empty text";
    std::string typed;
    for (Control control : unitControls) {
        const std::string text = control == Control::Combo2 ? "12" : "typed " + std::string(controlRow(control).name);
        e.setText(control, text);
        typed += (typed.empty() ? "" : "|") + text;
    }
    e.press(WindowEvent::Command1_Click);
    EXPECT_EQ(e.slot(1) + ' ' + e.slot(2), units[0] + ' ' + typed);
    EXPECT_EQ(e.listed(), "1st Platoon - Blue|[Kampfgruppe Müller - Red]|Recon - Blue") << "the entry keeps its text";
    // With nothing selected, neither Save Edit nor Delete changes anything.
    e.select(-1);
    e.setText(Control::Text1, "lost");
    e.press(WindowEvent::Command1_Click);
    e.press(WindowEvent::Command5_Click);
    EXPECT_EQ(e.slot(1) + ' ' + e.slot(2) + ' ' + e.slot(3), units[0] + ' ' + typed + ' ' + units[2]);
    EXPECT_EQ(e.listed() + ' ' + e.text(Control::Text1),
              "1st Platoon - Blue|Kampfgruppe Müller - Red|Recon - Blue lost");
}

TEST(Command5_Click, ClosesTheGapAndANewUnitTakesOverTheSlotLeftBehind)
{
    // Slot 3 keeps a copy of the former last unit, or the emptied record when that one was deleted.
    const std::string freshRecon = "Fresh|Armored Car/Tankette|07|10|Fair|OK|March|Green|3|MG|None|Light|None|Light|No";
    for (int row : {0, 1, 2}) {
        Editor e;
        e.load("editor-three-units.txt");
        std::vector<std::string> kept{e.slot(1), e.slot(2), e.slot(3)};
        kept.erase(kept.begin() + row);
        e.select(row);
        e.press(WindowEvent::Command5_Click);
        EXPECT_EQ(e.shown() + ' ' + e.game(), nothing + " 12|Desert|Summer");
        // The others keep their order, their entries and every field, unset counts included.
        EXPECT_EQ(std::vector({e.slot(1), e.slot(2)}), kept);
        EXPECT_EQ(e.listed(),
                  std::vector<std::string>({"Kampfgruppe Müller - Red|Recon - Blue", "1st Platoon - Blue|Recon - Blue",
                                            "1st Platoon - Blue|Kampfgruppe Müller - Red"})[row]);
        e.addUnit("Fresh", "Green");
        const std::string fresh = row == 2 ? "Fresh|||||||Green|||||||" : freshRecon;
        EXPECT_EQ(e.shown() + ' ' + e.slot(3), fresh + ' ' + fresh) << "every count of the slot is set";
    }
}

TEST(Command4_Click, AsksNameThenSideAndShowsTheUnitInTheNextSlotButAddsNothingForAnEmptyAnswer)
{
    Editor e;
    e.setText(Control::Combo14, "Winter");
    e.addUnit("  ", "Blue - Left = 1");
    EXPECT_EQ(e.prompts.asked, std::vector<std::string>({"input New Unit Name|Please enter unit name",
                                                         "input New Unit Side|Please enter unit side"}));
    EXPECT_EQ(e.listed() + ' ' + e.shown(), "[   - Blue - Left = 1]   |||||||Blue - Left = 1|||||||")
        << "status empty, not OK";
    EXPECT_EQ(e.slot(1) + ' ' + e.game(), "  ||~|~||||Blue - Left = 1|~|||||| ||Winter");
    // Deleting the only unit empties the list and leaves slot 1 emptied.
    e.press(WindowEvent::Command5_Click);
    EXPECT_EQ(e.listed() + std::to_string(e.core.roster().UnitCount) + e.slot(1), "0" + nothing);
    for (const auto& [name, side] : {std::pair("", "Red"), {"Alpha", ""}, {"", ""}}) {
        e.addUnit("First", "Blue");
        e.setText(Control::Combo1, "Infantry");
        e.addUnit(name, side);
        EXPECT_EQ(e.listed() + ' ' + e.shown(), "[First - Blue] " + std::string(name) + "|||||||" + side + "|||||||");
        e.press(WindowEvent::Command5_Click);
    }
    EXPECT_EQ(e.prompts.asked.size(), 14) << "both questions every time";
}

TEST(Command4_Click, RefusesA501stUnitWithoutAsking)
{
    Editor full;
    full.load("editor-units-500.txt");
    full.select(499);
    full.press(WindowEvent::Command4_Click);
    EXPECT_THAT(full.prompts.asked,
                testing::ElementsAre("open", "error Steelvane Brevorn Builder|The roster holds 500 units, the most it "
                                             "can hold."));
    EXPECT_EQ(full.core.roster().UnitCount, 500);
    EXPECT_EQ(full.view.entries.size(), 500);
    EXPECT_EQ(full.text(Control::Text1), "Unit 500");
}

} // namespace
} // namespace brevorn::test
