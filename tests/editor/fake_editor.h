// The editor core over a fake view that holds the controls' state as plain data, with
// prompts answered by script. The dumps are short strings, so a failure shows both sides.
#pragma once

#include "brevorn_build.h"
#include "roster_test_support.h"
#include "scripted_prompts.h"
#include "unit_fields.h"
#include "window_layout.h"

#include <gmock/gmock.h>

#include <map>

namespace brevorn::test {

// The fifteen editing controls in the order of the unit fields in the file.
inline constexpr Control unitControls[] = {Control::Text1,   Control::Combo1,  Control::Combo2,  Control::Combo3,
                                           Control::Combo4,  Control::Combo12, Control::Combo5,  Control::Text2,
                                           Control::Combo7,  Control::Combo9,  Control::Combo10, Control::Combo11,
                                           Control::Combo16, Control::Combo8,  Control::Combo6};

// A call told to fail throws before it changes anything.
struct FakeView final : EditorView
{
    std::map<Control, std::string> texts;
    std::map<Control, std::vector<std::string>> items;
    std::vector<std::string> entries;
    int selected = -1;
    bool loadEnabled = true;
    FaultPoint fault;

    // Every control starts with its caption or initial text, as a front end makes it.
    FakeView()
    {
        for (const ControlRow& row : controlTable())
            texts[row.control] = std::string(row.caption);
    }

    std::string text(Control control) const override
    {
        fault.enter("text");
        return texts.at(control);
    }
    void setText(Control control, std::string_view text) override
    {
        fault.enter("setText");
        texts[control] = text;
    }
    void setItems(Control combo, std::span<const std::string_view> list) override
    {
        fault.enter("setItems");
        items[combo].assign(list.begin(), list.end());
    }
    int selectedIndex() const override { return selected; }
    void setListEntries(const std::vector<std::string>& list) override
    {
        fault.enter("setListEntries");
        entries = list;
        selected = -1;
    }
    void appendAndSelect(std::string_view entry) override
    {
        fault.enter("appendAndSelect");
        entries.emplace_back(entry);
        selected = int(entries.size()) - 1;
    }
    void setLoadEnabled(bool enabled) override { loadEnabled = enabled; }
};

// A slot's fields in the order of the file, "~" for a count that is unset.
inline std::string slotDump(const Roster& roster, int slot)
{
    const UnitRecord& unit = roster.UnitTable.at(slot);
    std::string joined;
    for (const UnitField& f : unitFields) {
        if (&f != &unitFields.front())
            joined += '|';
        joined += f.count && !(unit.*f.count) ? "~" : std::string(fieldText(unit, f));
    }
    return joined;
}

struct Editor
{
    FakeView view;
    ScriptedPrompts prompts;
    BrevornBuild core{view, prompts};
    // Unless a test makes commands fail on purpose, a command that did not finish is a fault.
    bool unfinishedExpected = false;

    Editor() { core.handle(WindowEvent::Form_Load); }
    ~Editor()
    {
        if (unfinishedExpected)
            return;
        for (const std::string& asked : prompts.asked) {
            EXPECT_THAT(asked, testing::Not(testing::HasSubstr(" did not finish"))) << "a command failed";
        }
    }

    // What the user does.
    void press(WindowEvent event) { core.handle(event); }
    void select(int row)
    {
        view.selected = row;
        press(WindowEvent::List1_Click);
    }
    void load(const std::string& file)
    {
        prompts.answers.push_back(file.starts_with('/') ? file : dataFile(file));
        press(WindowEvent::Command2_Click);
    }
    void addUnit(const std::string& name, const std::string& side)
    {
        prompts.answers.insert(prompts.answers.end(), {name, side});
        press(WindowEvent::Command4_Click);
    }
    void save(const std::string& path, bool exit)
    {
        prompts.answers.insert(prompts.answers.end(), {path, exit});
        press(WindowEvent::Command3_Click);
    }
    void setText(Control control, const std::string& text) { view.texts[control] = text; }
    std::string text(Control control) const { return view.texts.at(control); }

    // The texts of the editing controls, joined by "|".
    std::string shown() const
    {
        std::string joined;
        for (Control control : unitControls)
            joined += (joined.empty() && control == Control::Text1 ? "" : "|") + text(control);
        return joined;
    }
    std::string slot(int s) const { return slotDump(core.roster(), s); }
    // The list entries joined by "|", the selected one in brackets.
    std::string listed() const
    {
        std::string joined;
        for (std::size_t row = 0; row < view.entries.size(); ++row) {
            const std::string& entry = view.entries[row];
            joined += (row ? "|" : "") + (int(row) == view.selected ? '[' + entry + ']' : entry);
        }
        return joined;
    }
    // Day, theatre and season as the game combos show them.
    std::string game() const
    {
        return text(Control::Combo13) + '|' + text(Control::Combo15) + '|' + text(Control::Combo14);
    }
};

} // namespace brevorn::test
