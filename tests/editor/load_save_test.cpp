// LOAD and SAVE through the window, with dialogs answered by script.
#include "editor_window.h"

#include <QDir>
#include <QTemporaryDir>

#include <gmock/gmock.h>

namespace brevorn::test {
namespace {

using testing::HasSubstr;

TEST(Load, CancelOrFailureLeavesEverythingAsItWas)
{
    for (const auto& [answer, named] : {std::pair<QVariant, std::string>(QVariant(), "open"), // no message either
                                        {dataDir + "missing.txt", "missing.txt"},
                                        {dataDir + "editor-units-501.txt", "editor-units-501.txt"}}) {
        EditorWindow w;
        w.addUnit("Kept", "Blue");
        const Roster before = w.window.roster();
        w.click("Command2", {answer});
        EXPECT_TRUE(w.window.roster() == before && w.control("Command2")->isEnabled());
        EXPECT_EQ(w.listed(), "[Kept - Blue]");
        EXPECT_EQ(w.asked.size(), named == "open" ? 3 : 4);
        EXPECT_THAT(w.asked.back(), HasSubstr(named));
        EXPECT_EQ(w.asked.back().starts_with("error Steelvane Brevorn Builder|"), named != "open");
    }
}

TEST(LoadAndSave, TheFileIsReadOverUnitsAddedBeforeAndWrittenBackAfterwards)
{
    QTemporaryDir folder;
    const QString target = folder.path() + "/saved.txt";
    EditorWindow w;
    w.setText("Combo13", "typed");
    w.addUnit("Early", "Green"); // read over by the file; the list still follows the slots
    w.load("editor-three-units.txt");
    EXPECT_EQ(w.listed() + ' ' + w.game() + ' ' + w.text("Text1"),
              "1st Platoon - Blue|Kampfgruppe Müller - Red|Recon - Blue 12|Desert|Summer Early");
    EXPECT_FALSE(w.control("Command2")->isEnabled());
    w.list()->setCurrentRow(0);
    w.setText("Text1", "not committed, not written");
    w.click("Command3", {QVariant()});
    EXPECT_EQ(w.asked.back(), "save") << "a cancel asks nothing more";
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    const std::string expected = fileBytes(dataDir + "editor-three-units.expected.txt");
    w.click("Command3", {target, false});
    EXPECT_EQ(fileBytes(target), expected);
    EXPECT_EQ(w.asked.back() + ' ' + std::to_string(w.endProgramCalls), "yesno Exit?|Exit? 0");
    // No goes on with the same roster: the next save writes the same bytes, and Yes ends.
    QFile::remove(target);
    w.click("Command3", {target, true});
    EXPECT_EQ(fileBytes(target) + std::to_string(w.endProgramCalls), expected + '1');
}

TEST(Save, RefusalNamesEveryProblemInOneMessageAndWritesNothing)
{
    QTemporaryDir folder;
    EditorWindow w;
    // The later of the file's two days, 40, is shown although no item reads so, and cannot be written.
    w.load("editor-day-40.txt");
    w.addUnit("1st Platoon", "Blue");
    w.setText("Combo2", "N/A");
    w.click("Command1");
    const Roster before = w.window.roster();
    w.click("Command3", {folder.path() + "/saved.txt"});
    EXPECT_EQ(w.asked.size(), 5) << "one message and no Exit? question";
    EXPECT_THAT(w.asked.back(),
                AllOf(HasSubstr(R"(1st Platoon, "Ammo Used (x10%):" is "N/A"; choose a number from 0 to 10)"),
                      HasSubstr(R"("Day Counter:" is "40"; choose a number from 0 to 37)")));
    EXPECT_TRUE(w.window.roster() == before && QDir(folder.path()).isEmpty());
    EXPECT_EQ(w.game(), "40|Mediterranean|Fall");
}

} // namespace
} // namespace brevorn::test
