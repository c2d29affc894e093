// What changed between two rosters: settings, units removed and added, fields changed.
#pragma once

#include "roster.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevorn {

// One changed value; unset (a count never stored) is nullopt.
struct ValueChange
{
    std::string_view key; // the file key
    std::optional<std::string> oldText;
    std::optional<std::string> newText;
};

struct UnitChange
{
    enum class Kind { Removed, Added, Changed };
    Kind kind = Kind::Changed;
    int oldSlot = 0;                  // 0 for an added unit
    int newSlot = 0;                  // 0 for a removed unit
    const UnitRecord* unit = nullptr; // the removed, added or (new) changed unit
    std::vector<ValueChange> fields;  // for a changed unit, in the file's order
};

struct RosterDiff
{
    std::vector<ValueChange> settings;
    std::vector<UnitChange> units; // in the order of the two rosters, as a text diff reads
    bool same() const { return settings.empty() && units.empty(); }
};

// Units are paired by name and side along a longest common subsequence, so that a unit
// taken out or put in shows as that and nothing more; paired units differ in the fields
// listed. Texts are compared exactly as held. The result points into the new roster and
// the old one, which must outlive it.
RosterDiff diffRosters(const Roster& oldRoster, const GameSettings& oldGame, const Roster& newRoster,
                       const GameSettings& newGame);

// For people: one line per setting, unit added or removed, and changed unit, with each
// changed field below it as old → new.
std::string diffAsText(const RosterDiff& diff);

// For scripts: {"settings": {KEY: {"old": ..., "new": ...}}, "units": [...]}.
std::string diffAsJson(const RosterDiff& diff);

} // namespace brevorn
