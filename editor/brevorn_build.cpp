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
#include <stdexcept>

namespace brevorn {

namespace {

const UnitField& unitField(std::string_view key)
{
    const UnitField* field = findUnitField(key);
    assert(field && "the layout pairs controls with known field keys only");
    return *field;
}

} // namespace

BrevornBuild::BrevornBuild(EditorView& view, EditorPrompts& prompts)
    : m_view(view)
    , m_prompts(prompts)
    , m_roster(std::make_unique<Roster>())
{
}

BrevornBuild::~BrevornBuild() = default;

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
    m_roster = std::move(loaded);
    m_lastFile = *path;
    // Only the settings the file gave.
    const RosterReadResult& result = read.value();
    if (result.Day_Counter)
        m_view.setText(Control::Combo13, *result.Day_Counter);
    if (result.Theatre)
        m_view.setText(Control::Combo15, *result.Theatre);
    if (result.Season)
        m_view.setText(Control::Combo14, *result.Season);
    // One entry per unit, none selected.
    rebuildList();
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
    // The slot keeps whatever else it holds.
    const int slot = ++m_roster->UnitCount;
    UnitRecord& unit = unitAt(slot);
    unit.unit_name = std::move(name);
    unit.unit_side = std::move(side);
    // A list selects the entry without telling anyone, so the unit is shown here.
    m_listEntries.push_back(listEntry(slot));
    m_view.appendAndSelect(m_listEntries.back());
    showUnit(slot);
}

void BrevornBuild::Command5_Click()
{
    // With no entry selected nothing changes, not even the controls.
    const int slot = selectedSlot();
    if (slot == 0)
        return;
    emptyUnitControls();
    // The count fields become the empty text, not unset.
    for (const UnitField& field : unitFields)
        setFieldText(unitAt(slot), field, std::string());
    // Close the gap; each unit moves with all its fields, unset counts included. The
    // slot of the former last unit keeps a copy of it.
    for (int j = slot; j < m_roster->UnitCount; ++j)
        unitAt(j) = unitAt(j + 1);
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

std::string BrevornBuild::listEntry(int slot)
{
    const UnitRecord& unit = unitAt(slot);
    return unit.unit_name + " - " + unit.unit_side;
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
    m_listEntries.clear();
    m_listEntries.reserve(std::size_t(m_roster->UnitCount));
    for (int slot = 1; slot <= m_roster->UnitCount; ++slot)
        m_listEntries.push_back(listEntry(slot));
    m_view.setListEntries(m_listEntries);
}

std::vector<ListedUnit> BrevornBuild::listedUnits()
{
    std::vector<ListedUnit> units;
    for (int slot = 1; slot <= m_roster->UnitCount; ++slot)
        units.push_back({m_listEntries.at(std::size_t(slot) - 1), listEntry(slot)});
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
