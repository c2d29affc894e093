// Showing, committing, adding and deleting units through the window's controls.
#include "editor_window.h"

#include <QTemporaryDir>
#include <QTest>

namespace brevorn::test {
namespace {

// The units of editor-three-units.txt in field order; the second has its counts unset.
const QStringList platoon{"1st Platoon", "Medium Tank", "2",      "1",      "Veteran", "OK",     "Maneuver", "Blue",
                          "0",           "MG",          "Medium", "Medium", "None",    "Medium", "Yes"};
const QStringList kampfgruppe{
    "Kampfgruppe Müller", "Panzerzug", "",     "",      "Elite", "Disordered", "Static Fire", "Red", "",
    "Infantry",           "Light",     "None", "Light", "None",  "No"};
const QStringList recon{"Recon", "Armored Car/Tankette",
                        "07",    "10",
                        "Fair",  "OK",
                        "March", "Blue",
                        "3",     "MG",
                        "None",  "Light",
                        "None",  "Light",
                        "No"};
const QStringList nothingShown(15, QString());

QStringList withNameAndSide(QStringList fields, const QString& name, const QString& side)
{
    fields[0] = name;
    fields[7] = side;
    return fields;
}

struct Units : ::testing::Test
{
    EditorWindow w;
    void SetUp() override { w.load(dataPath("editor-three-units.txt")); }
    const UnitRecord& slot(int s) const { return w.window.roster().UnitTable[s]; }
};

TEST_F(Units, SelectingEntryPShowsSlotPPlusOne)
{
    const QStringList units[] = {platoon, kampfgruppe, recon};
    for (int row : {2, 0, 1}) {
        w.select(row);
        EXPECT_EQ(w.shownUnit(), units[row]) << row;
    }
    w.list()->clearSelection();
    EXPECT_EQ(w.shownUnit(), nothingShown);
    EXPECT_EQ(w.text("Combo13") + w.text("Combo14") + w.text("Combo15"), "12SummerDesert");
}

TEST_F(Units, SaveEditStoresEveryControlVerbatimInItsField)
{
    w.select(1);
    w.click("Command1");
    EXPECT_EQ(recordTexts(slot(2)), kampfgruppe);
    EXPECT_EQ(slot(2).unit_ammo, std::optional<std::string>("")) << "an unset count becomes set, to empty text";
    QStringList typed;
    for (const QString& name : unitControls) {
        typed << "typed " + name;
        w.setText(name, typed.last());
    }
    w.setText("Combo2", typed[2] = "12"); // no item of Combo2
    w.click("Command1");
    EXPECT_EQ(recordTexts(slot(2)), typed);
    EXPECT_EQ(recordTexts(slot(1)), platoon);
    EXPECT_EQ(w.listEntries(), QStringList({"1st Platoon - Blue", "Kampfgruppe Müller - Red", "Recon - Blue"}));
    w.select(0);
    w.select(1);
    EXPECT_EQ(w.shownUnit(), typed);
}

TEST_F(Units, SaveEditAndDeleteDoNothingWithoutASelectedEntry)
{
    // Taking the focus gives the list a current row, which is not a selected one.
    w.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.list()->setFocus(Qt::TabFocusReason);
    w.setText("Text1", "edited");
    const Roster before = w.window.roster();
    w.click("Command1");
    w.click("Command5");
    EXPECT_TRUE(w.window.roster() == before);
    EXPECT_EQ(w.text("Text1"), "edited");
    EXPECT_EQ(w.list()->count(), 3);
}

TEST(Delete, ClosesTheGapAndANewUnitTakesOverTheSlotLeftBehind)
{
    const std::pair<int, QStringList> cases[] = {
        {0, {"Kampfgruppe Müller - Red", "Recon - Blue"}},
        {1, {"1st Platoon - Blue", "Recon - Blue"}},
        {2, {"1st Platoon - Blue", "Kampfgruppe Müller - Red"}},
    };
    for (const auto& [row, entries] : cases) {
        SCOPED_TRACE(row);
        EditorWindow w;
        w.load(dataPath("editor-three-units.txt"));
        const Roster loaded = w.window.roster();
        w.select(row);
        w.click("Command5");
        const Roster& after = w.window.roster();
        EXPECT_EQ(after.UnitCount, 2);
        EXPECT_EQ(w.listEntries(), entries);
        EXPECT_EQ(w.selectedRow(), -1);
        EXPECT_EQ(w.shownUnit(), nothingShown);
        EXPECT_EQ(w.text("Combo13"), "12");
        // The others keep their order and every field, unset counts included.
        for (int s = 1; s <= 2; ++s)
            EXPECT_TRUE(after.UnitTable[s] == loaded.UnitTable[s <= row ? s : s + 1]) << "slot " << s;
        // Slot 3 keeps a copy of the former last unit, or the emptied record when that was deleted.
        w.addUnit("Fresh", "Green");
        EXPECT_EQ(w.shownUnit(), withNameAndSide(row == 2 ? nothingShown : recon, "Fresh", "Green"));
        EXPECT_EQ(after.UnitTable[3].unit_losses.has_value(), true);
    }
}

TEST(NewUnit, AsksNameThenSideAndShowsTheUnitInTheNextSlot)
{
    EditorWindow w;
    w.setText("Combo14", "Winter");
    w.addUnit("  ", "Blue - Left = 1");
    EXPECT_EQ(w.dialogs.asked, QStringList({"input Please enter unit name|New Unit Name",
                                            "input Please enter unit side|New Unit Side"}));
    EXPECT_EQ(w.listEntries(), QStringList{"   - Blue - Left = 1"});
    EXPECT_EQ(w.selectedRow(), 0);
    EXPECT_EQ(w.shownUnit(), withNameAndSide(nothingShown, "  ", "Blue - Left = 1")) << "status empty, not OK";
    EXPECT_FALSE(w.window.roster().UnitTable[1].unit_ammo.has_value());
    EXPECT_EQ(w.text("Combo14"), "Winter");
    // Deleting the only unit empties the list and leaves slot 1 emptied.
    w.click("Command5");
    EXPECT_EQ(w.window.roster().UnitCount + w.list()->count(), 0);
    EXPECT_EQ(recordTexts(w.window.roster().UnitTable[1]), nothingShown);
}

TEST(NewUnit, AnEmptyAnswerAddsNothingButBothQuestionsAreAsked)
{
    for (const auto& [name, side] : {std::pair("", "Red"), {"Alpha", ""}, {"", ""}}) {
        EditorWindow w;
        w.addUnit("First", "Blue");
        w.setText("Combo1", "Infantry");
        w.addUnit(name, side);
        EXPECT_EQ(w.dialogs.asked.size(), 4);
        EXPECT_EQ(w.listEntries(), QStringList{"First - Blue"});
        EXPECT_EQ(w.window.roster().UnitCount, 1);
        EXPECT_EQ(w.selectedRow(), 0);
        EXPECT_EQ(w.shownUnit(), withNameAndSide(nothingShown, name, side));
    }
}

TEST(NewUnit, RefusesA501stUnitWithoutAsking)
{
    QTemporaryDir folder;
    EditorWindow w;
    w.load(writeUnitsFile(folder.path(), 500));
    ASSERT_EQ(w.window.roster().UnitCount, 500);
    w.select(499);
    w.click("Command4");
    ASSERT_EQ(w.dialogs.asked.size(), 2);
    EXPECT_TRUE(w.dialogs.asked[1].contains("500 units")) << w.dialogs.asked[1].toStdString();
    EXPECT_EQ(w.window.roster().UnitCount + w.list()->count(), 1000);
    EXPECT_EQ(w.text("Text1"), "Unit 500");
}

} // namespace
} // namespace brevorn::test
