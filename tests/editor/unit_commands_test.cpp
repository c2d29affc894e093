// Showing, committing, adding and deleting units through the window's controls.
#include "editor_window.h"

#include <gmock/gmock.h>

namespace brevorn::test {
namespace {

// The units of editor-three-units.txt as the controls show them; the second has its counts unset.
const std::string units[] = {
    "1st Platoon|Medium Tank|2|1|Veteran|OK|Maneuver|Blue|0|MG|Medium|Medium|None|Medium|Yes",
    "Kampfgruppe Müller|Panzerzug|||Elite|Disordered|Static Fire|Red||Infantry|Light|None|Light|None|No",
    "Recon|Armored Car/Tankette|07|10|Fair|OK|March|Blue|3|MG|None|Light|None|Light|No"};
const std::string nothing(14, '|');

TEST(Units, SelectingEntryPShowsSlotPPlusOneAndSaveEditStoresEveryTextVerbatim)
{
    EditorWindow w;
    w.load("editor-three-units.txt");
    for (int row : {2, 0, 1}) {
        w.list()->setCurrentRow(row);
        EXPECT_EQ(w.shown(), units[row]);
    }
    EXPECT_EQ(w.slot(2),
              "Kampfgruppe Müller|Panzerzug|~|~|Elite|Disordered|Static Fire|Red|~|Infantry|Light|None|Light|None|No");
    w.click("Command1");
    EXPECT_EQ(w.slot(2), units[1]) << "committed counts are set, to the empty text";
    QStringList typed;
    for (const QString& name : unitControls)
        w.setText(name, typed.emplace_back("typed " + name));
    w.setText("Combo2", typed[2] = "12"); // no item of Combo2
    w.click("Command1");
    EXPECT_EQ(w.slot(1) + ' ' + w.slot(2), units[0] + ' ' + typed.join('|').toStdString());
    EXPECT_EQ(w.listed(), "1st Platoon - Blue|[Kampfgruppe Müller - Red]|Recon - Blue") << "the entry keeps its text";
    w.list()->clearSelection();
    EXPECT_EQ(w.shown() + ' ' + w.game(), nothing + " 12|Desert|Summer");
}

TEST(Delete, ClosesTheGapAndANewUnitTakesOverTheSlotLeftBehind)
{
    // Slot 3 keeps a copy of the former last unit, or the emptied record when that one was deleted.
    const std::string freshRecon = "Fresh|Armored Car/Tankette|07|10|Fair|OK|March|Green|3|MG|None|Light|None|Light|No";
    for (int row : {0, 1, 2}) {
        EditorWindow w;
        w.load("editor-three-units.txt");
        std::vector<std::string> kept{w.slot(1), w.slot(2), w.slot(3)};
        kept.erase(kept.begin() + row);
        w.list()->setCurrentRow(row);
        w.click("Command5");
        EXPECT_EQ(w.shown() + ' ' + w.game(), nothing + " 12|Desert|Summer");
        // The others keep their order, their entries and every field, unset counts included.
        EXPECT_EQ(std::vector({w.slot(1), w.slot(2)}), kept);
        EXPECT_EQ(w.listed(),
                  std::vector<std::string>({"Kampfgruppe Müller - Red|Recon - Blue", "1st Platoon - Blue|Recon - Blue",
                                            "1st Platoon - Blue|Kampfgruppe Müller - Red"})[row]);
        w.addUnit("Fresh", "Green");
        const std::string fresh = row == 2 ? "Fresh|||||||Green|||||||" : freshRecon;
        EXPECT_EQ(w.shown() + ' ' + w.slot(3), fresh + ' ' + fresh) << "every count of the slot is set";
    }
}

TEST(NewUnit, AsksNameThenSideAndShowsTheUnitInTheNextSlotButAddsNothingForAnEmptyAnswer)
{
    EditorWindow w;
    w.setText("Combo14", "Winter");
    w.addUnit("  ", "Blue - Left = 1");
    EXPECT_EQ(w.asked, std::vector<std::string>({"input Please enter unit name|New Unit Name",
                                                 "input Please enter unit side|New Unit Side"}));
    EXPECT_EQ(w.listed() + ' ' + w.shown(), "[   - Blue - Left = 1]   |||||||Blue - Left = 1|||||||")
        << "status empty, not OK";
    EXPECT_EQ(w.slot(1) + ' ' + w.game(), "  ||~|~||||Blue - Left = 1|~|||||| ||Winter");
    // Deleting the only unit empties the list and leaves slot 1 emptied.
    w.click("Command5");
    EXPECT_EQ(w.listed() + std::to_string(w.window.roster().UnitCount) + w.slot(1), "0" + nothing);
    for (const auto& [name, side] : {std::pair("", "Red"), {"Alpha", ""}, {"", ""}}) {
        w.addUnit("First", "Blue");
        w.setText("Combo1", "Infantry");
        w.addUnit(name, side);
        EXPECT_EQ(w.listed() + ' ' + w.shown(), "[First - Blue] " + std::string(name) + "|||||||" + side + "|||||||");
        w.click("Command5");
    }
    EXPECT_EQ(w.asked.size(), 14) << "both questions every time";

    EditorWindow full;
    full.load("editor-units-500.txt");
    full.list()->setCurrentRow(499);
    full.click("Command4");
    EXPECT_THAT(full.asked, testing::ElementsAre("open", testing::HasSubstr("500 units")))
        << "a 501st unit is refused without asking";
    EXPECT_EQ(full.window.roster().UnitCount + full.list()->count(), 1000);
    EXPECT_EQ(full.text("Text1"), "Unit 500");
}

} // namespace
} // namespace brevorn::test
