// The editor's behaviour: the roster it owns and one handler per event of the window.
// It reaches the window only through the view and the prompts a front end hands in.
#pragma once

#include "editor_view.h"
#include "roster.h"

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

    // The front end calls each handler when its event happens: Form_Load once, before the
    // window is first shown; List1_Click when the user changes List1's selection.
    void Form_Load();
    void List1_Click();
    void Command1_Click(); // Save Edit
    void Command2_Click(); // LOAD
    void Command3_Click(); // SAVE
    void Command4_Click(); // New Unit
    void Command5_Click(); // Delete

private:
    // The unit in a slot from 1 to UnitCount; any other slot is a fault of the program.
    UnitRecord& unitAt(int slot);
    // The slot of List1's selected entry, 0 while none is selected.
    int selectedSlot() const;
    std::string listEntry(int slot);
    void showUnit(int slot);
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
    // and a message has to name the unit the way the user sees it.
    std::vector<std::string> m_listEntries;
    // The roster file loaded or last saved in this run; empty before either.
    std::filesystem::path m_lastFile;
};

} // namespace brevorn
