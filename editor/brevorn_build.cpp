// The command handlers of the editor window, each following the steps of its command in order.
#include "brevorn_build.h"

#include "choice_lists.h"
#include "file_replace.h"
#include "messages.h"
#include "roster_reader.h"
#include "roster_writer.h"
#include "unit_fields.h"
#include "window_layout.h"

#include <cassert>
#include <exception>
#include <stdexcept>

namespace brevorn {

namespace {

const UnitField& unitField(std::string_view key)
{
    const UnitField* field = findUnitField(key);
    assert(field && "the layout pairs controls with known field keys only");
    return *field;
}

// A unit's entry in List1: its name, " - ", its side.
std::string entryText(const std::string& name, const std::string& side)
{
    return name + " - " + side;
}

// One entry per unit, in slot order.
std::vector<std::string> listEntries(const Roster& roster)
{
    std::vector<std::string> entries;
    entries.reserve(std::size_t(roster.UnitCount));
    for (const UnitRecord& unit : roster.units())
        entries.push_back(entryText(unit.unit_name, unit.unit_side));
    return entries;
}

// Whether a failure part-way can leave List1, its selection or the unit shown out of step
// with the roster: LOAD, "New Unit" and "Delete" change the list, and showing a unit sets
// the controls one by one. "Save Edit", SAVE and the start-up change neither, and the
// controls keep what the user typed.
bool mayLeaveListOutOfStep(WindowEvent event)
{
    switch (event) {
    case WindowEvent::List1_Click:
    case WindowEvent::Command2_Click:
    case WindowEvent::Command4_Click:
    case WindowEvent::Command5_Click:
        return true;
    case WindowEvent::Form_Load:
    case WindowEvent::Command1_Click:
    case WindowEvent::Command3_Click:
        break;
    }
    return false;
}

} // namespace

BrevornBuild::BrevornBuild(EditorView& view, EditorPrompts& prompts)
    : m_view(view)
    , m_prompts(prompts)
    , m_roster(std::make_unique<Roster>())
{
}

BrevornBuild::~BrevornBuild() = default;

void BrevornBuild::handle(WindowEvent event) noexcept
{
    try {
        switch (event) {
        case WindowEvent::Form_Load:
            return Form_Load();
        case WindowEvent::List1_Click:
            return List1_Click();
        case WindowEvent::Command1_Click:
            return Command1_Click();
        case WindowEvent::Command2_Click:
            return Command2_Click();
        case WindowEvent::Command3_Click:
            return Command3_Click();
        case WindowEvent::Command4_Click:
            return Command4_Click();
        case WindowEvent::Command5_Click:
            return Command5_Click();
        }
    } catch (...) {
        // The roster is whole: the commands change its count, its slots and the list
        // entries together or not at all ("Save Edit" may have stored some of the fields).
        // What the window shows is put right first, so that the message is read over a
        // window that is in step again.
        if (mayLeaveListOutOfStep(event)) {
            try {
                showListAfresh();
            } catch (...) {
                // The message still goes out; "Delete" makes the list anew from the roster.
            }
        }
        tellUnfinished(event, std::current_exception());
    }
}

void BrevornBuild::tellUnfinished(WindowEvent event, std::exception_ptr failure) noexcept
{
    try {
        ErrorMessage message;
        try {
            message = unfinishedCommandMessage(event, failure);
        } catch (...) {
            // The reason could not be put into words; the rest of the message still helps.
            message = unfinishedCommandMessage(event, nullptr);
        }
        m_prompts.showError(message);
    } catch (...) {
        // No way is left to tell the user; the editor goes on with the roster as it is.
    }
}

void BrevornBuild::Form_Load()
{
    // Fills the item lists only: no text is set and nothing is selected.
    for (const ChoiceList& list : choiceLists())
        m_view.setItems(list.combo, list.items);
}

void BrevornBuild::List1_Click()
{
    // With nothing selected there is no unit: the controls go blank.
    const int slot = selectedSlot();
    if (slot == 0) {
        emptyUnitControls();
        return;
    }
    showUnit(slot);
}

void BrevornBuild::Command1_Click()
{
    // The selected unit; with none selected nothing is stored.
    const int slot = selectedSlot();
    if (slot == 0)
        return;
    // Every control's text, verbatim; a count field becomes set, even to empty text.
    UnitRecord& unit = unitAt(slot);
    for (const FieldControl& pair : commitOrder())
        setFieldText(unit, unitField(pair.fieldKey), m_view.text(pair.control));
    // The list entry keeps its old text until "Delete" rebuilds the list.
}

void BrevornBuild::Command2_Click()
{
    // The file to read, looked for where the last roster was; a cancelled dialog leaves
    // everything as it was.
    const std::optional<std::filesystem::path> path = m_prompts.openPath(fileRequest({}));
    if (!path)
        return;
    // Units added with "New Unit" would be lost: the user decides.
    if (m_roster->UnitCount > 0 && !m_prompts.askYesNo(loadReplaceQuestion(m_roster->UnitCount, *path)))
        return;
    // Read into an empty table, so that nothing of units held before survives in it. On
    // failure the editor keeps the roster it had.
    auto loaded = std::make_unique<Roster>();
    const Expected<RosterReadResult> read = ReadRosterFile(*path, *loaded);
    if (!read) {
        m_prompts.showError(readFailureMessage(read.error()));
        return;
    }
    // The entries and the name are made before the editor takes the roster, which then
    // cannot fail half-way.
    std::vector<std::string> entries = listEntries(*loaded);
    std::filesystem::path file = *path;
    m_roster = std::move(loaded);
    m_listEntries = std::move(entries);
    m_lastFile = std::move(file);
    // Only the settings the file gave.
    const RosterReadResult& result = read.value();
    if (result.Day_Counter)
        m_view.setText(Control::Combo13, *result.Day_Counter);
    if (result.Theatre)
        m_view.setText(Control::Combo15, *result.Theatre);
    if (result.Season)
        m_view.setText(Control::Combo14, *result.Season);
    // One entry per unit, none selected.
    m_view.setListEntries(m_listEntries);
    // A roster is loaded once per run.
    m_view.setLoadEnabled(false);
}

void BrevornBuild::Command3_Click()
{
    // The game texts as the boxes show them now, picked or typed.
    const GameSettings game{.Day_Counter = m_view.text(Control::Combo13),
                            .Theatre = m_view.text(Control::Combo15),
                            .Season = m_view.text(Control::Combo14)};
    // Every value is checked before the user looks for a file: a refusal lists them all
    // and no dialog opens.
    const Expected<std::string> bytes = rosterFileBytes(*m_roster, game);
    if (!bytes) {
        m_prompts.showReport(saveRefusalMessage(bytes.error(), listedUnits()));
        return;
    }
    // Offered under the name it was loaded or last saved as; a cancelled dialog writes
    // nothing and asks nothing.
    const std::optional<std::filesystem::path> path = m_prompts.savePath(fileRequest(m_lastFile.filename()));
    if (!path)
        return;
    // A file that cannot be written is left as it was, and so is the editor.
    const Expected<SaveOutcome> saved = replaceFileContents(*path, bytes.value());
    if (!saved) {
        m_prompts.showError(writeFailureMessage(saved.error()));
        return;
    }
    m_lastFile = *path;
    // Saved, with something the user should still know (the folder was not flushed, say):
    // told, and then the save goes on like any other.
    if (!saved.value().warnings.empty())
        m_prompts.showError(saveWarningMessage(*path, saved.value()));
    if (m_prompts.askYesNo(exitQuestion()))
        m_prompts.endProgram();
}

void BrevornBuild::Command4_Click()
{
    // The table has no slot past the 500th unit: refuse before anything changes.
    if (m_roster->UnitCount >= MaxUnits) {
        m_prompts.showError(rosterFullMessage());
        return;
    }
    emptyUnitControls();
    // The second question is asked whatever the first answer was.
    m_view.setText(Control::Text1, m_prompts.inputText(unitNameRequest()));
    m_view.setText(Control::Text2, m_prompts.inputText(unitSideRequest()));
    // An empty answer adds nothing; blanks count as an answer.
    std::string name = m_view.text(Control::Text1);
    std::string side = m_view.text(Control::Text2);
    if (name.empty() || side.empty())
        return;
    // Whatever can fail is done first: the entry, room for it, and List1 taking it. The
    // count, the slot and the entries then change together, by steps that cannot fail.
    std::string entry = entryText(name, side);
    m_listEntries.reserve(m_listEntries.size() + 1);
    m_view.appendAndSelect(entry);
    // The slot keeps whatever else it holds.
    const int slot = ++m_roster->UnitCount;
    UnitRecord& unit = unitAt(slot);
    unit.unit_name = std::move(name);
    unit.unit_side = std::move(side);
    m_listEntries.push_back(std::move(entry));
    // A list selects the entry without telling anyone, so the unit is shown here.
    showUnit(slot);
}

void BrevornBuild::Command5_Click()
{
    // With no entry selected nothing changes, not even the controls.
    const int slot = selectedSlot();
    if (slot == 0)
        return;
    emptyUnitControls();
    // The emptied record: the count fields become the empty text, not unset.
    UnitRecord emptied;
    for (const UnitField& field : unitFields)
        setFieldText(emptied, field, std::string());
    // The slot of the former last unit keeps a copy of it, or the emptied record when the
    // last unit goes. Copied first, so that the moves below cannot fail half-way.
    const int last = m_roster->UnitCount;
    UnitRecord leftBehind = slot < last ? unitAt(last) : std::move(emptied);
    // Close the gap; each unit moves with all its fields, unset counts included.
    for (int j = slot; j < last; ++j)
        unitAt(j) = std::move(unitAt(j + 1));
    unitAt(last) = std::move(leftBehind);
    --m_roster->UnitCount;
    // Rebuilt with nothing selected, so nothing is shown.
    rebuildList();
}

UnitRecord& BrevornBuild::unitAt(int slot)
{
    if (slot < 1 || slot > m_roster->UnitCount)
        throw std::out_of_range("slot " + std::to_string(slot) + " holds no unit; the roster has " +
                                std::to_string(m_roster->UnitCount));
    return m_roster->UnitTable[slot];
}

int BrevornBuild::selectedSlot() const
{
    // Entry p stands for slot p + 1; a front end that lists more entries than units has a fault.
    const int slot = m_view.selectedIndex() + 1;
    return slot >= 1 && slot <= m_roster->UnitCount ? slot : 0;
}

void BrevornBuild::showUnit(int slot)
{
    // Texts as stored; an unset count shows as empty text.
    const UnitRecord& unit = unitAt(slot);
    for (const FieldControl& pair : showOrder())
        m_view.setText(pair.control, fieldText(unit, unitField(pair.fieldKey)));
}

void BrevornBuild::rebuildList()
{
    m_listEntries = listEntries(*m_roster);
    m_view.setListEntries(m_listEntries);
}

void BrevornBuild::showListAfresh()
{
    m_view.setListEntries(m_listEntries);
    emptyUnitControls();
}

std::vector<ListedUnit> BrevornBuild::listedUnits()
{
    std::vector<ListedUnit> units;
    for (int slot = 1; slot <= m_roster->UnitCount; ++slot) {
        const UnitRecord& unit = unitAt(slot);
        units.push_back({m_listEntries.at(std::size_t(slot) - 1), entryText(unit.unit_name, unit.unit_side)});
    }
    return units;
}

FileRequest BrevornBuild::fileRequest(std::filesystem::path fileName) const
{
    return {.folder = m_lastFile.parent_path(), .fileName = std::move(fileName), .filters = rosterFileFilters()};
}

void BrevornBuild::emptyUnitControls()
{
    for (const FieldControl& pair : clearOrder())
        m_view.setText(pair.control, {});
}

} // namespace brevorn
