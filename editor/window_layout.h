// The window's controls as data: kinds, captions, places in twips, tab order, and which
// control edits which field.
#pragma once

#include "editor_view.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace brevorn {

enum class ControlKind { Label, TextBox, ComboBox, ListBox, PushButton };

// One control of the window. Positions are twips (15 to the pixel at 96 dpi), the
// outer edge of the control within the client area.
struct ControlRow
{
    Control control;
    std::string_view name; // the name on screen objects, e.g. "Combo13"
    ControlKind kind;
    std::string_view caption; // caption or initial text; empty for none
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int ClientWidthTwips = 7425;
inline constexpr int ClientHeightTwips = 5955;
inline constexpr int TwipsPerPixel = 15;

// Every control of the window in tab-index order (the row is the tab index).
std::span<const ControlRow> controlTable();

// The row of a control.
const ControlRow& controlRow(Control control);

// An editing control and what it edits: a unit field or a game setting, by file key,
// and the label that stands beside it.
struct FieldControl
{
    Control control;
    std::string_view fieldKey;
    Control label;
};

// The fifteen unit editing controls in the order a unit is shown.
const std::array<FieldControl, 15>& showOrder();
// The same pairing in the order a unit is committed.
const std::array<FieldControl, 15>& commitOrder();
// The same controls in the order "New Unit" and "Delete" empty them.
const std::array<FieldControl, 15>& clearOrder();

// A button's keyboard shortcut: Ctrl with a letter, taken anywhere in the window; a
// disabled button ignores it. The captions stay as they are, so no caption underlines it.
struct ButtonShortcut
{
    Control button;
    char letter; // upper case, as Windows names the key
};

inline constexpr std::array<ButtonShortcut, 2> buttonShortcuts{{
    {Control::Command2, 'O'}, // LOAD, where programs open a file
    {Control::Command3, 'S'}, // SAVE
}};

// The shortcut as it is written in a hint and as Qt reads it: "Ctrl+O".
std::string shortcutText(const ButtonShortcut& shortcut);

// The caption of the label beside the control that edits this field or game setting
// ("unit_ammo" -> "Ammo Used (x10%):"); empty for an unknown key.
std::string_view fieldCaption(std::string_view fieldKey);

// The label that names a control (Text1 -> Label2, List1 -> Label1); none for a control
// without one.
std::optional<Control> labelOf(Control control);

// What assistive technology announces for a control: an editing control is called by its
// label without the colon ("Ammo Used (x10%)"), the unit list "Units", a button by its
// caption. Empty for a label, which is read as the caption it shows.
std::string_view accessibleName(Control control);

} // namespace brevorn
