// LOAD and SAVE through the window, with dialogs answered by script.
#include "editor_window.h"

#include <QDir>
#include <QTemporaryDir>

namespace brevorn::test {
namespace {

const QStringList threeUnitEntries{"1st Platoon - Blue", "Kampfgruppe Müller - Red", "Recon - Blue"};

QStringList gameTexts(const EditorWindow& w)
{
    return {w.text("Combo13"), w.text("Combo15"), w.text("Combo14")};
}

TEST(Load, ListsTheFileUnitsShowsItsGameAndDisablesLoad)
{
    EditorWindow w;
    w.addUnit("Early", "Green"); // read over by the file; the list still follows the slots
    w.load(dataPath("editor-three-units.txt"));
    EXPECT_EQ(w.listEntries(), threeUnitEntries);
    EXPECT_EQ(w.selectedRow(), -1);
    EXPECT_EQ(w.window.roster().UnitCount, 3);
    EXPECT_EQ(gameTexts(w), QStringList({"12", "Desert", "Summer"}));
    EXPECT_EQ(w.text("Text1"), "Early") << "LOAD leaves the unit controls alone";
    EXPECT_FALSE(w.control("Command2")->isEnabled());
    EXPECT_TRUE(w.control("Command3")->isEnabled() && w.control("Command4")->isEnabled());
}

TEST(Load, AFileWithoutUnitUsedListsNothingAndSetsOnlyTheGameTextsItGives)
{
    EditorWindow w;
    w.setText("Combo13", "typed");
    w.load(dataPath("editor-without-unit-used.txt"));
    EXPECT_EQ(gameTexts(w), QStringList({"typed", "Tropical", "Rainy Season"}));
    EXPECT_EQ(w.list()->count() + w.window.roster().UnitCount, 0);
    EXPECT_FALSE(w.control("Command2")->isEnabled());
}

TEST(Load, CancelOrFailureLeavesEverythingAsItWas)
{
    QTemporaryDir folder;
    const std::pair<std::optional<QString>, const char*> cases[] = {
        {std::nullopt, nullptr}, // cancelled: no message either
        {folder.path() + "/missing.txt", "missing.txt"},
        {writeUnitsFile(folder.path(), 501), "units-501.txt"},
    };
    for (const auto& [answer, named] : cases) {
        EditorWindow w;
        w.addUnit("Kept", "Blue");
        const Roster before = w.window.roster();
        w.dialogs.asked.clear();
        w.dialogs.paths.push_back(answer);
        w.click("Command2");
        EXPECT_TRUE(w.window.roster() == before);
        EXPECT_EQ(w.listEntries(), QStringList{"Kept - Blue"});
        EXPECT_TRUE(w.control("Command2")->isEnabled());
        ASSERT_EQ(w.dialogs.asked.size(), named ? 2 : 1);
        if (named) {
            EXPECT_TRUE(w.dialogs.asked[1].startsWith("error Steelvane Brevorn Builder|"));
            EXPECT_TRUE(w.dialogs.asked[1].contains(named)) << w.dialogs.asked[1].toStdString();
        }
    }
}

struct Save : ::testing::Test
{
    QTemporaryDir folder;
    QString target = folder.path() + "/saved.txt";
    EditorWindow w;

    void save(std::optional<QString> path, std::optional<bool> exit)
    {
        w.dialogs.paths.push_back(path);
        if (exit)
            w.dialogs.yesNo.push_back(*exit);
        w.click("Command3");
    }
};

TEST_F(Save, WritesTheRosterThenAsksExit)
{
    w.load(dataPath("editor-three-units.txt"));
    save(std::nullopt, std::nullopt);
    EXPECT_EQ(w.dialogs.asked.mid(1), QStringList{"save"}) << "a cancel asks nothing more";
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    const QByteArray expected = fileBytes(dataPath("editor-three-units.expected.txt"));
    save(target, false);
    EXPECT_EQ(fileBytes(target), expected);
    EXPECT_EQ(w.dialogs.asked.mid(2), QStringList({"save", "yesno Exit?|Exit?"}));
    EXPECT_EQ(w.endProgramCalls, 0);
    // No goes on with the same roster: the next save writes the same bytes, and Yes ends.
    QFile::remove(target);
    save(target, true);
    EXPECT_EQ(fileBytes(target), expected);
    EXPECT_EQ(w.endProgramCalls, 1);
}

TEST_F(Save, TakesTheGameTextsAsTheBoxesShowThem)
{
    w.setText("Combo13", "07");
    w.setText("Combo15", "Polar");
    w.setText("Combo14", "Winter");
    save(target, false);
    EXPECT_EQ(fileBytes(target), "GAME:\r\nDay_Counter=7\r\nTheatre=Polar\r\nSeason=Winter\r\n\r\nUNITS:\r\n");
}

TEST_F(Save, RefusalNamesEveryProblemInOneMessageAndKeepsTheFile)
{
    // The later of the file's two days, 40, is shown although no item reads so, and cannot be written.
    w.load(dataPath("editor-day-40.txt"));
    EXPECT_EQ(gameTexts(w), QStringList({"40", "Mediterranean", "Fall"}));
    w.addUnit("1st Platoon", "Blue");
    w.setText("Combo2", "N/A");
    w.click("Command1");
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old roster") == 10);
    old.close();
    const Roster before = w.window.roster();
    w.dialogs.asked.clear();
    save(target, std::nullopt);
    ASSERT_EQ(w.dialogs.asked.size(), 2) << "one message and no Exit? question";
    const QString& message = w.dialogs.asked[1];
    EXPECT_TRUE(message.contains(R"(1st Platoon, "Ammo Used (x10%):" is "N/A"; choose a number from 0 to 10)"))
        << message.toStdString();
    EXPECT_TRUE(message.contains(R"("Day Counter:" is "40"; choose a number from 0 to 37)")) << message.toStdString();
    EXPECT_EQ(fileBytes(target), "old roster");
    EXPECT_TRUE(w.window.roster() == before);
}

} // namespace
} // namespace brevorn::test
