// The fifteen unit fields as data: file key, kind and where each lives in a UnitRecord.
#pragma once

#include "roster.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace brevorn {

enum class FieldKind {
    Text,  // always holds a text, empty when nothing was stored
    Count, // holds a text or is unset; written as a number 0 to 10
};

struct UnitField
{
    std::string_view key; // the file key, e.g. "unit_armor_type"
    FieldKind kind;
    std::string UnitRecord::*text;                 // set when kind is Text
    std::optional<std::string> UnitRecord::*count; // set when kind is Count
};

// In the order in which a unit block of the file holds them.
inline constexpr std::array<UnitField, 15> unitFields{{
    {"unit_name", FieldKind::Text, &UnitRecord::unit_name, nullptr},
    {"unit_type", FieldKind::Text, &UnitRecord::unit_type, nullptr},
    {"unit_ammo", FieldKind::Count, nullptr, &UnitRecord::unit_ammo},
    {"unit_fuel", FieldKind::Count, nullptr, &UnitRecord::unit_fuel},
    {"unit_quality", FieldKind::Text, &UnitRecord::unit_quality, nullptr},
    {"unit_status", FieldKind::Text, &UnitRecord::unit_status, nullptr},
    {"unit_orders", FieldKind::Text, &UnitRecord::unit_orders, nullptr},
    {"unit_side", FieldKind::Text, &UnitRecord::unit_side, nullptr},
    {"unit_losses", FieldKind::Count, nullptr, &UnitRecord::unit_losses},
    {"unit_SA", FieldKind::Text, &UnitRecord::unit_SA, nullptr},
    {"unit_HE", FieldKind::Text, &UnitRecord::unit_HE, nullptr},
    {"unit_AP", FieldKind::Text, &UnitRecord::unit_AP, nullptr},
    {"unit_AA", FieldKind::Text, &UnitRecord::unit_AA, nullptr},
    {"unit_armor_type", FieldKind::Text, &UnitRecord::unit_armor_type, nullptr},
    {"unit_smoke", FieldKind::Text, &UnitRecord::unit_smoke, nullptr},
}};

// Keys a unit block carries beyond the fields: derived or constant when written,
// recognised and dropped when read.
inline constexpr std::string_view armoredKey = "unit_armored";
inline constexpr std::string_view usedKey = "unit_used";

// The game section's keys.
inline constexpr std::string_view dayCounterKey = "Day_Counter";
inline constexpr std::string_view theatreKey = "Theatre";
inline constexpr std::string_view seasonKey = "Season";

// The field with this exact key (case-sensitive), or nullptr.
const UnitField* findUnitField(std::string_view key);

// A field's value as text: its text, or the empty text for an unset count.
std::string_view fieldText(const UnitRecord& unit, const UnitField& field);

// Stores a text into the field; a count field becomes set.
void setFieldText(UnitRecord& unit, const UnitField& field, std::string text);

} // namespace brevorn
