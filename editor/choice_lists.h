// The fixed item lists of the sixteen combo boxes, in the order the window fills them.
#pragma once

#include "editor_view.h"

#include <span>
#include <string_view>

namespace brevorn {

struct ChoiceList
{
    Control combo;
    std::span<const std::string_view> items; // position 0 first, never sorted
};

// All sixteen lists, in the order Form_Load fills the combos.
std::span<const ChoiceList> choiceLists();

} // namespace brevorn
