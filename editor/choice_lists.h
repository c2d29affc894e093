// The fixed item lists of the sixteen combo boxes, in the order the window fills them.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace brevorn {

struct ChoiceList
{
    QString combo;     // the combo's control name, e.g. "Combo13"
    QStringList items; // item texts, position 0 first, never sorted
};

// All sixteen lists, in the order Form_Load fills the combos.
const std::vector<ChoiceList>& choiceLists();

} // namespace brevorn
