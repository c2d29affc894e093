// The editor's behaviour: the roster it owns and one handler per event of the window.
// It reaches the window only through the view and the prompts a front end hands in.
#pragma once

#include "editor_view.h"
#include "roster.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace brevorn {

struct ListedUnit;

class BrevornBuild
{
public:
    BrevornBuild(EditorView& view, EditorPrompts& prompts);
    ~BrevornBuild();
    BrevornBuild(const BrevornBuild&) = delete;
    BrevornBuild& operator=(const BrevornBuild&) = delete;

    const Roster& roster() const { return *m_roster; }

    // The front end reports each event here when it happens: Form_Load once, before the
    // window is first shown; List1_Click when the user changes List1's selection; a click
    // on a button. Nothing its handler throws goes further: the user is told that the
    // command did not finish and that the roster is still here to be saved, and the list
    // and the controls are put in step with the roster.
    void handle(WindowEvent event) noexcept;

private:
    // One handler per event, each the steps of its command.
    void Form_Load();
    void List1_Click();
    void Command1_Click(); // Save Edit
    void Command2_Click(); // LOAD
    void Command3_Click(); // SAVE
    void Command4_Click(); // New Unit
    void Command5_Click(); // Delete

    // After a handler has failed part-way: List1 shows the roster's units again with none
    // selected, and the editing controls are empty, as after "Delete".
    void showListAfresh();
    // Says which command did not finish and why, as far as that can still be said.
    void tellUnfinished(WindowEvent event, std::exception_ptr failure) noexcept;
    // The unit in a slot from 1 to UnitCount; any other slot is a fault of the program.
    UnitRecord& unitAt(int slot);
    // The slot of List1's selected entry, 0 while none is selected.
    int selectedSlot() const;
    void showUnit(int slot);
    // List1 made anew from the table, with nothing selected.
    void rebuildList();
    void emptyUnitControls();
    // Each unit's entry as List1 shows it and as it would read now, in slot order.
    std::vector<ListedUnit> listedUnits();
    // A file dialog that starts in the folder of the last roster read or written.
    FileRequest fileRequest(std::filesystem::path fileName) const;

    EditorView& m_view;
    EditorPrompts& m_prompts;
    // About 250 KB: too big for a stack, and the Windows main thread has 1 MB.
    std::unique_ptr<Roster> m_roster;
    // List1's entries as the core made them: "Save Edit" changes a unit but not its entry,
    // and a message has to name the unit the way the user sees it. Always one per unit,
    // also when a command fails, so that List1 can be shown again from it.
    std::vector<std::string> m_listEntries;
    // The roster file loaded or last saved in this run; empty before either.
    std::filesystem::path m_lastFile;
};

} // namespace brevorn
