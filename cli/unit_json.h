// A unit as a JSON object, the same wherever brevorn-roster writes one.
#pragma once

#include "roster.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace brevorn {

// Keys keep the order they are put in, so that a unit reads in the file's order.
using OrderedJson = nlohmann::ordered_json;

// A text, or null for an unset count.
OrderedJson textOrNull(const std::optional<std::string>& text);

// The fifteen fields under their file keys, in the file's order; an unset count is null.
OrderedJson unitAsJson(const UnitRecord& unit);

} // namespace brevorn
