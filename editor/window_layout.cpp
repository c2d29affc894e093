// The control table of the editor window and the pairing of controls with fields.
#include "window_layout.h"

#include <algorithm>

namespace brevorn {

namespace {

using enum ControlKind;
using enum Control;

constexpr std::array<ControlRow, ControlCount> controls{{
    {List1, "List1", ListBox, "", 240, 1440, 2655, 4350},
    {Command2, "Command2", PushButton, "LOAD", 6000, 5400, 1335, 495},
    {Command3, "Command3", PushButton, "SAVE", 4560, 5400, 1335, 495},
    {Label1, "Label1", Label, "UNITS:", 240, 720, 615, 255},
    {Command4, "Command4", PushButton, "New Unit", 1200, 1080, 855, 255},
    {Command5, "Command5", PushButton, "Delete", 2160, 1080, 735, 255},
    {Label2, "Label2", Label, "Unit Name:", 3120, 960, 855, 255},
    {Text1, "Text1", TextBox, "", 4080, 960, 3255, 285},
    {Label3, "Label3", Label, "Unit Type:", 3120, 1680, 855, 255},
    {Combo1, "Combo1", ComboBox, "", 4080, 1680, 3255, 315},
    {Label4, "Label4", Label, "Ammo Used (x10%):", 5160, 2040, 1575, 255},
    {Combo2, "Combo2", ComboBox, "", 6600, 2040, 735, 315},
    {Label5, "Label5", Label, "Fuel Used (x10%):", 5280, 2400, 1335, 255},
    {Combo3, "Combo3", ComboBox, "", 6600, 2400, 735, 315},
    {Label6, "Label6", Label, "Unit Quality:", 3120, 2040, 975, 255},
    {Combo4, "Combo4", ComboBox, "", 4080, 2040, 1095, 315},
    {Label7, "Label7", Label, "Starting Orders:", 3120, 2760, 1335, 255},
    {Combo5, "Combo5", ComboBox, "", 4560, 2760, 2775, 315},
    {Label8, "Label8", Label, "Unit Side:", 3120, 1320, 855, 255},
    {Text2, "Text2", TextBox, "", 4080, 1320, 1455, 285},
    {Label9, "Label9", Label, "Losses (x10%):", 3000, 2400, 1095, 255},
    {Combo7, "Combo7", ComboBox, "", 4200, 2400, 975, 315},
    {Label11, "Label11", Label, "Armor Type:", 3120, 3120, 1095, 255},
    {Combo8, "Combo8", ComboBox, "", 4560, 3120, 2775, 315},
    {Label12, "Label12", Label, "Small Arms:", 3120, 3480, 855, 255},
    {Combo9, "Combo9", ComboBox, "", 4560, 3480, 2775, 315},
    {Label13, "Label13", Label, "High Explosive:", 3120, 3840, 1215, 255},
    {Combo10, "Combo10", ComboBox, "", 4560, 3840, 2775, 315},
    {Label14, "Label14", Label, "Armor Piercing:", 3120, 4200, 1215, 255},
    {Combo11, "Combo11", ComboBox, "", 4560, 4200, 2775, 315},
    {Label15, "Label15", Label, "Smoke Capable?", 3120, 4560, 1455, 255},
    {Label16, "Label16", Label, "Status:", 5640, 1320, 615, 255},
    {Combo12, "Combo12", ComboBox, "OK", 6360, 1320, 975, 315},
    {Command1, "Command1", PushButton, "Save Edit", 240, 1080, 855, 255},
    {Combo6, "Combo6", ComboBox, "", 4560, 4560, 2775, 315},
    {Label10, "Label10", Label, "GAME:", 240, 0, 615, 255},
    {Label17, "Label17", Label, "Day Counter:", 240, 360, 975, 255},
    {Combo13, "Combo13", ComboBox, "", 1320, 360, 1095, 315},
    {Combo14, "Combo14", ComboBox, "", 3240, 360, 1215, 315},
    {Combo15, "Combo15", ComboBox, "", 6000, 360, 1335, 315},
    {Label18, "Label18", Label, "Season:", 2520, 360, 975, 255},
    {Label19, "Label19", Label, "Theatre/Climate:", 4560, 360, 1335, 255},
    {Label20, "Label20", Label, "Anti-Aircraft:", 3120, 4920, 975, 255},
    {Combo16, "Combo16", ComboBox, "", 4560, 4920, 2775, 315},
}};

// The enum's value is the row, so controlRow needs no search.
static_assert(std::ranges::all_of(controls, [](const ControlRow& row) {
    return &row - controls.data() == static_cast<int>(row.control);
}));

// Which unit field each editing control holds and which label names it, in the order a
// unit is committed.
constexpr std::array<FieldControl, 15> committing{{
    {Text1, "unit_name", Label2},
    {Text2, "unit_side", Label8},
    {Combo1, "unit_type", Label3},
    {Combo2, "unit_ammo", Label4},
    {Combo3, "unit_fuel", Label5},
    {Combo4, "unit_quality", Label6},
    {Combo5, "unit_orders", Label7},
    {Combo12, "unit_status", Label16},
    {Combo7, "unit_losses", Label9},
    {Combo8, "unit_armor_type", Label11},
    {Combo11, "unit_AP", Label14},
    {Combo10, "unit_HE", Label13},
    {Combo9, "unit_SA", Label12},
    {Combo6, "unit_smoke", Label15},
    {Combo16, "unit_AA", Label20},
}};

// Showing, committing and emptying walk the same controls in different orders.
template <std::size_t N>
constexpr std::array<FieldControl, N> inOrder(const std::array<Control, N>& order)
{
    std::array<FieldControl, N> ordered{};
    for (std::size_t i = 0; i < N; ++i)
        ordered[i] = *std::ranges::find(committing, order[i], &FieldControl::control);
    return ordered;
}

constexpr auto showing = inOrder<15>({Text1, Text2, Combo12, Combo1, Combo4, Combo7, Combo2, Combo3, Combo5, Combo8,
                                      Combo9, Combo10, Combo11, Combo6, Combo16});
constexpr auto clearing = inOrder<15>({Text1, Text2, Combo1, Combo2, Combo3, Combo4, Combo5, Combo12, Combo7, Combo8,
                                       Combo9, Combo10, Combo11, Combo6, Combo16});

constexpr std::array<FieldControl, 3> game{{
    {Combo13, "Day_Counter", Label17},
    {Combo15, "Theatre", Label19},
    {Combo14, "Season", Label18},
}};

const FieldControl* findPair(auto matches)
{
    if (auto it = std::ranges::find_if(committing, matches); it != committing.end())
        return &*it;
    if (auto it = std::ranges::find_if(game, matches); it != game.end())
        return &*it;
    return nullptr;
}

} // namespace

std::span<const ControlRow> controlTable()
{
    return controls;
}

const ControlRow& controlRow(Control control)
{
    return controls.at(static_cast<std::size_t>(control));
}

const std::array<FieldControl, 15>& showOrder()
{
    return showing;
}

const std::array<FieldControl, 15>& commitOrder()
{
    return committing;
}

const std::array<FieldControl, 15>& clearOrder()
{
    return clearing;
}

std::string shortcutText(const ButtonShortcut& shortcut)
{
    return std::string("Ctrl+") + shortcut.letter;
}

std::string_view fieldCaption(std::string_view fieldKey)
{
    const FieldControl* pair = findPair([fieldKey](const FieldControl& p) { return p.fieldKey == fieldKey; });
    return pair ? controlRow(pair->label).caption : std::string_view{};
}

std::optional<Control> labelOf(Control control)
{
    if (control == List1)
        return Label1;
    if (const FieldControl* pair = findPair([control](const FieldControl& p) { return p.control == control; }))
        return pair->label;
    return std::nullopt;
}

std::string_view accessibleName(Control control)
{
    // "UNITS:" is a section heading in capitals, which a screen reader may spell letter by letter.
    if (control == List1)
        return "Units";
    const ControlRow& row = controlRow(control);
    if (row.kind == ControlKind::Label)
        return {};
    const std::optional<Control> label = labelOf(control);
    std::string_view name = label ? controlRow(*label).caption : row.caption;
    if (name.ends_with(':'))
        name.remove_suffix(1);
    return name;
}

} // namespace brevorn
