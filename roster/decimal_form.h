// How the day and the three count fields are written: as a plain whole number.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brevorn {

inline constexpr int MaxDayCounter = 37;
inline constexpr int MaxCount = 10;

// The whole number a text denotes, when it lies in 0..maximum. Accepted: spaces and
// tabs around it, an optional sign, digits, optionally a decimal point and more digits
// ("07" -> 7, " 3 " -> 3, "10.0" -> 10, "-0" -> 0). A decimal point needs digits on
// both sides. No number: "", "N/A", "3.5", "3.", ".5", "1e1", "0x5", "1 2", and
// anything outside 0..maximum.
std::optional<int> decimalForm(std::string_view text, int maximum);

// What a day or count text has to be, in the words every message uses:
// "a whole number from 0 to 10".
std::string decimalFormRule(int maximum);

// An unset count field is written as 0.
std::optional<int> countDecimalForm(const std::optional<std::string>& count);

} // namespace brevorn
