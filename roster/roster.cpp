// Replacing all the units of a roster at once.
#include "roster.h"

#include <algorithm>

namespace brevorn {

Expected<void> Roster::replaceUnits(std::vector<UnitRecord> replacement)
{
    if (replacement.size() > static_cast<std::size_t>(MaxUnits))
        return RosterError{"a roster holds at most " + std::to_string(MaxUnits) + " units, not " +
                               std::to_string(replacement.size()),
                           {}};
    const auto first = UnitTable.begin() + 1;
    const auto end = std::move(replacement.begin(), replacement.end(), first);
    std::fill(end, UnitTable.end(), UnitRecord{});
    UnitCount = static_cast<int>(replacement.size());
    return {};
}

} // namespace brevorn
