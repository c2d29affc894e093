// Commands that fail part-way: whatever the view or the prompts throw stops at the core, the
// user is told, and the editor goes on in step with a roster that SAVE still writes.
#include "fake_editor.h"

#include <gmock/gmock.h>

#include <new>
#include <type_traits>

namespace brevorn::test {
namespace {

// What a failing call throws, and the reason the message gives for it.
struct Failure
{
    void (*raise)();
    std::string reason;
};
const Failure memory{[] { throw std::bad_alloc(); }, ": there was not enough memory"};
const Failure denied{[] {
                         throw std::filesystem::filesystem_error("cannot open", "roster.txt",
                                                                 std::make_error_code(std::errc::permission_denied));
                     },
                     ": the system reported \"" + std::make_error_code(std::errc::permission_denied).message() +
                         "\" for \"roster.txt\""};
const Failure notAnException{[] { throw 42; }, ""};

std::string unfinished(const std::string& command, const Failure& failure)
{
    return "error Steelvane Brevorn Builder|" + command + " did not finish" + failure.reason +
           ".\n\nThe roster is still in the editor. Save it with SAVE before you go on.";
}

const std::string threeUnits = "1st Platoon - Blue|Kampfgruppe Müller - Red|Recon - Blue";
const std::string secondSelected = "1st Platoon - Blue|[Kampfgruppe Müller - Red]|Recon - Blue";
const std::string secondShown =
    "Kampfgruppe Müller|Panzerzug|||Elite|Disordered|Static Fire|Red||Infantry|Light|None|Light|None|No";
const std::string nothingShown(14, '|');

using Script = std::vector<Answer>;

struct Case
{
    const char* what;
    WindowEvent event;
    Script script;
    // The call that throws: "view." or "prompts." and the method, its Nth call, what it throws.
    std::string faulty;
    int call;
    Failure failure;
    std::string told; // the last thing the user is told, empty for any error message
    std::string listed;
    std::string shown;
    // Whether the roster is as if the command had finished, rather than as before it.
    bool finished = false;
    bool everyCallAfter = false;
};

using UnfinishedCommand = ScratchFolder;

TEST_F(UnfinishedCommand, IsToldAndLeavesTheListTheControlsAndTheRosterInStepAndSaveWorks)
{
    using enum WindowEvent;
    const Script newUnit{std::string("Zulu"), std::string("Green")};
    std::vector<Case> cases = {
        {"start-up", Form_Load, Script{}, "view.setItems", 5, memory,
         "error Steelvane Brevorn Builder|Filling the drop-down lists did not finish: there was not enough memory. "
         "Some drop-down lists may be incomplete; any value can still be typed.",
         secondSelected, secondShown},
        // Showing stopped half-way: nothing is selected, and nothing shown.
        {"showing a unit", List1_Click, Script{}, "view.setText", 4, denied,
         unfinished("Showing the unit picked in the list", denied), threeUnits, nothingShown},
        // The controls keep what the user typed.
        {"Save Edit", Command1_Click, Script{}, "view.text", 1, notAnException,
         unfinished("\"Save Edit\"", notAnException), secondSelected, secondShown},
        // The new roster is taken whole; the list is made again from it.
        {"LOAD's list", Command2_Click, Script{dataFile("last-block-without-used.txt"), true}, "view.setListEntries", 1,
         memory, unfinished("\"LOAD\"", memory), "Alpha - Blue", nothingShown, true},
        // Telling the user fails as well, both the reader's message and the one that follows.
        {"LOAD's message", Command2_Click, Script{dataFile("missing.txt"), true}, "prompts.error", 1, memory,
         unfinished("\"LOAD\"", memory), threeUnits, nothingShown, false, true},
        {"SAVE's Exit?", Command3_Click, Script{path("saved.txt")}, "prompts.yesno", 1, denied,
         unfinished("\"SAVE\"", denied), secondSelected, secondShown},
        // The count, the slot and the entries change together, after the list took the entry.
        {"New Unit's entry", Command4_Click, newUnit, "view.appendAndSelect", 1, denied,
         unfinished("\"New Unit\"", denied), threeUnits, nothingShown},
        {"New Unit's showing", Command4_Click, newUnit, "view.setText", 20, notAnException,
         unfinished("\"New Unit\"", notAnException), threeUnits + "|Zulu - Green", nothingShown, true},
        {"Delete's emptying", Command5_Click, Script{}, "view.setText", 1, memory, unfinished("\"Delete\"", memory),
         threeUnits, nothingShown},
        {"Delete's list", Command5_Click, Script{}, "view.setListEntries", 1, denied, unfinished("\"Delete\"", denied),
         "1st Platoon - Blue|Recon - Blue", nothingShown, true},
    };
    // A Windows file name may hold an unpaired surrogate, which UTF-8 cannot: whichever
    // step first meets it, LOAD is refused with a message and nothing changes.
    if constexpr (std::is_same_v<std::filesystem::path::value_type, wchar_t>)
        cases.push_back({"LOAD of a name with an unpaired surrogate", Command2_Click,
                         Script{std::filesystem::path(std::wstring(L"r\xD800.txt")), true}, "", 0, Failure{}, "",
                         secondSelected, secondShown});

    // editor-three-units.txt loaded, the second entry selected, the command pressed, failing or not.
    auto play = [](Editor& e, const Case& c, bool failing) {
        e.load("editor-three-units.txt");
        e.select(1);
        e.prompts.answers.assign(c.script.begin(), c.script.end());
        if (failing && !c.faulty.empty()) {
            FaultPoint& point = c.faulty.starts_with("view.") ? e.view.fault : e.prompts.fault;
            point = {c.faulty.substr(c.faulty.find('.') + 1), c.call, c.failure.raise, c.everyCallAfter};
        }
        e.press(c.event);
        e.view.fault = {};
        e.prompts.fault = {};
    };
    auto saved = [this](Editor& e, const std::string& name) {
        e.prompts.answers.clear();
        e.save(path(name), false);
        return fileBytes(path(name));
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Editor e;
        e.unfinishedExpected = true;
        play(e, c, true);

        ASSERT_FALSE(e.prompts.asked.empty());
        if (c.told.empty())
            EXPECT_THAT(e.prompts.asked.back(), testing::StartsWith("error Steelvane Brevorn Builder|"));
        else
            EXPECT_EQ(e.prompts.asked.back(), c.told);
        EXPECT_EQ(int(e.view.entries.size()), e.core.roster().UnitCount);
        EXPECT_EQ(e.listed() + ' ' + e.shown(), c.listed + ' ' + c.shown);

        std::string expected = fileBytes(dataFile("editor-three-units.expected.txt"));
        if (c.finished) {
            Editor twin;
            play(twin, c, false);
            expected = saved(twin, "finished.txt");
        }
        EXPECT_EQ(saved(e, "after.txt"), expected);
        EXPECT_EQ(e.prompts.asked.back(), "yesno Exit?|Exit?") << "SAVE went through to its end";
    }
}

} // namespace
} // namespace brevorn::test
