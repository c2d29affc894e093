// The game's vocabulary offered in the combo boxes.
#include "choice_lists.h"

#include <array>

namespace brevorn {

namespace {

using namespace std::string_view_literals;
using enum Control;

constexpr std::array days{"1"sv,  "2"sv,  "3"sv,  "4"sv,  "5"sv,  "6"sv,  "7"sv,  "8"sv,  "9"sv,  "10"sv, "11"sv,
                          "12"sv, "13"sv, "14"sv, "15"sv, "16"sv, "17"sv, "18"sv, "19"sv, "20"sv, "21"sv, "22"sv,
                          "23"sv, "24"sv, "25"sv, "26"sv, "27"sv, "28"sv, "29"sv, "30"sv, "31"sv};
constexpr std::array seasons{"Summer"sv, "Spring"sv, "Winter"sv, "Fall"sv, "Rainy Season"sv};
constexpr std::array theatres{"Northern European"sv, "Mediterranean"sv, "Desert"sv, "Tropical"sv};
constexpr std::array statuses{"OK"sv, "Disordered"sv, "Captured"sv, "Destroyed"sv};
constexpr std::array qualities{"Elite"sv, "Veteran"sv, "Average"sv, "Fair"sv, "Poor"sv};
constexpr std::array unitTypes{
    "Infantry"sv,
    "Motorized Infantry"sv,
    "Armored Infantry"sv,
    "Armored Car/Tankette"sv,
    "Light Tank"sv,
    "Medium Tank"sv,
    "Heavy Tank"sv,
    "Extra-Heavy Tank"sv,
    "Towed Light AntiTank"sv,
    "Towed Medium AntiTank"sv,
    "Towed Heavy AntiTank"sv,
    "Towed Extra-Heavy AntiTank"sv,
    "Towed Light Artillery"sv,
    "Towed Medium Artillery"sv,
    "Towed Heavy Artillery"sv,
    "Towed Extra-Heavy Artillery"sv,
    "SP Light Artillery"sv,
    "SP Medium Artillery"sv,
    "SP Heavy Artillery"sv,
    "SP Extra-Heavy Artillery"sv,
    "SP Light AntiTank"sv,
    "SP Medium AntiTank"sv,
    "SP Heavy AntiTank"sv,
    "SP Extra-Heavy AntiTank"sv,
    "Supply Transport"sv,
    "Airstrike"sv,
};
constexpr std::array orders{"Static Fire"sv, "Moving Fire"sv,   "Maneuver"sv,
                            "March"sv,       "Stand/Regroup"sv, "Resupply"sv,
                            "Captured"sv,    "Lay Smoke"sv,     "Dismount & Maneuver"sv};
constexpr std::array smoke{"No"sv, "Yes"sv};
constexpr std::array losses{"0"sv, "1"sv, "2"sv, "3"sv, "4"sv, "5"sv, "6"sv, "7"sv, "8"sv, "9"sv};
constexpr std::array notApplicableAndCounts{"N/A"sv, "0"sv, "1"sv, "2"sv, "3"sv, "4"sv,
                                            "5"sv,   "6"sv, "7"sv, "8"sv, "9"sv, "10"sv};
constexpr std::array armourRatings{"None"sv, "Light"sv, "Medium"sv, "Heavy"sv, "Extra-Heavy"sv};
constexpr std::array smallArms{"None"sv, "Infantry"sv, "MG"sv};

constexpr std::array<ChoiceList, 16> lists{{
    {Combo13, days},
    {Combo14, seasons},
    {Combo15, theatres},
    {Combo12, statuses},
    {Combo4, qualities},
    {Combo1, unitTypes},
    {Combo5, orders},
    {Combo6, smoke},
    {Combo7, losses},
    {Combo2, notApplicableAndCounts},
    {Combo3, notApplicableAndCounts},
    {Combo8, armourRatings},
    {Combo9, smallArms},
    {Combo10, armourRatings},
    {Combo11, armourRatings},
    {Combo16, armourRatings},
}};

} // namespace

std::span<const ChoiceList> choiceLists()
{
    return lists;
}

} // namespace brevorn
