// The game's vocabulary offered in the combo boxes.
#include "choice_lists.h"

namespace brevorn {

namespace {

QStringList numbers(int first, int last)
{
    QStringList items;
    for (int n = first; n <= last; ++n)
        items << QString::number(n);
    return items;
}

} // namespace

const std::vector<ChoiceList>& choiceLists()
{
    // Shared by more than one combo; each combo still gets its own copy of the items.
    static const QStringList armourRatings{"None", "Light", "Medium", "Heavy", "Extra-Heavy"};
    static const QStringList notApplicableAndCounts = QStringList{"N/A"} + numbers(0, 10);

    static const QStringList unitTypes{
        "Infantry",
        "Motorized Infantry",
        "Armored Infantry",
        "Armored Car/Tankette",
        "Light Tank",
        "Medium Tank",
        "Heavy Tank",
        "Extra-Heavy Tank",
        "Towed Light AntiTank",
        "Towed Medium AntiTank",
        "Towed Heavy AntiTank",
        "Towed Extra-Heavy AntiTank",
        "Towed Light Artillery",
        "Towed Medium Artillery",
        "Towed Heavy Artillery",
        "Towed Extra-Heavy Artillery",
        "SP Light Artillery",
        "SP Medium Artillery",
        "SP Heavy Artillery",
        "SP Extra-Heavy Artillery",
        "SP Light AntiTank",
        "SP Medium AntiTank",
        "SP Heavy AntiTank",
        "SP Extra-Heavy AntiTank",
        "Supply Transport",
        "Airstrike",
    };

    static const QStringList orders{
        "Static Fire", "Moving Fire",         "Maneuver", "March", "Stand/Regroup", "Resupply", "Captured",
        "Lay Smoke",   "Dismount & Maneuver",
    };

    static const std::vector<ChoiceList> lists{
        {"Combo13", numbers(1, 31)},
        {"Combo14", {"Summer", "Spring", "Winter", "Fall", "Rainy Season"}},
        {"Combo15", {"Northern European", "Mediterranean", "Desert", "Tropical"}},
        {"Combo12", {"OK", "Disordered", "Captured", "Destroyed"}},
        {"Combo4", {"Elite", "Veteran", "Average", "Fair", "Poor"}},
        {"Combo1", unitTypes},
        {"Combo5", orders},
        {"Combo6", {"No", "Yes"}},
        {"Combo7", numbers(0, 9)},
        {"Combo2", notApplicableAndCounts},
        {"Combo3", notApplicableAndCounts},
        {"Combo8", armourRatings},
        {"Combo9", {"None", "Infantry", "MG"}},
        {"Combo10", armourRatings},
        {"Combo11", armourRatings},
        {"Combo16", armourRatings},
    };
    return lists;
}

} // namespace brevorn
