// The in-memory roster: the unit table with its count, and its units as a range.
#pragma once

#include "expected.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brevorn {

// The table has slots 0 to 500; slot 0 never holds a unit, so 500 units fit.
inline constexpr int MaxUnits = 500;
inline constexpr int SlotCount = MaxUnits + 1;

// One unit, field by field in the order the file holds them. Texts are UTF-8 and
// kept exactly as read or typed. The three count fields tell "never stored"
// (std::nullopt, written as 0) apart from the empty text (which has no number).
struct UnitRecord
{
    std::string unit_name;
    std::string unit_type;
    std::optional<std::string> unit_ammo;
    std::optional<std::string> unit_fuel;
    std::string unit_quality;
    std::string unit_status;
    std::string unit_orders;
    std::string unit_side;
    std::optional<std::string> unit_losses;
    std::string unit_SA;
    std::string unit_HE;
    std::string unit_AP;
    std::string unit_AA;
    std::string unit_armor_type;
    std::string unit_smoke;

    bool operator==(const UnitRecord&) const = default;
};

// The three game-wide settings as texts. In the editor they live in the game
// combo boxes; this struct carries them to and from the file.
struct GameSettings
{
    std::string Day_Counter;
    std::string Theatre;
    std::string Season;

    bool operator==(const GameSettings&) const = default;
};

// Units occupy slots 1..UnitCount in list order. Slots above UnitCount may still
// hold data (after a deletion, or an unfinished block at the end of a file); they
// are neither listed nor written. Code outside the roster library reaches the units
// through units() and replaceUnits, so that only this library knows the slot numbers.
struct Roster
{
    std::array<UnitRecord, SlotCount> UnitTable{};
    int UnitCount = 0;

    // The units in list order: slots 1 to UnitCount.
    std::span<UnitRecord> units() { return {UnitTable.data() + 1, static_cast<std::size_t>(UnitCount)}; }
    std::span<const UnitRecord> units() const { return {UnitTable.data() + 1, static_cast<std::size_t>(UnitCount)}; }

    // Makes these the roster's units, in order, and empties the slots above them, as in a
    // roster read from a file of just these units. Refuses more than MaxUnits, leaving the
    // roster as it was.
    Expected<void> replaceUnits(std::vector<UnitRecord> replacement);

    bool operator==(const Roster&) const = default;
};

} // namespace brevorn
