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
    enum class Kind {
        Removed,
        Added,
        Changed, // paired by name and side, in the same order among the units both rosters keep
        Renamed, // a new name or side, or both, in the place of the old: see diffRosters
        Moved,   // the same name and side in another order among the other units
    };
    Kind kind = Kind::Changed;
    int oldSlot = 0;                     // 0 for an added unit
    int newSlot = 0;                     // 0 for a removed unit
    const UnitRecord* unit = nullptr;    // the removed or added unit, else the unit in the new roster
    const UnitRecord* oldUnit = nullptr; // the unit in the old roster, for all but removed and added ones
    std::vector<ValueChange> fields;     // every changed field, in the file's order; may be empty for a moved unit
};

struct RosterDiff
{
    std::vector<ValueChange> settings;
    std::vector<UnitChange> units; // in the order of the two rosters, as a text diff reads
    bool same() const { return settings.empty() && units.empty(); }
};

// Units are paired by name and side along a longest common subsequence, so that a unit
// taken out or put in shows as that and nothing more; paired units differ in the fields
// listed. Of the units left over, a removed and an added one with the same name and side
// are one unit moved. Then, between the same two paired units, a removed and an added one
// whose other fields are all the same are one unit renamed (as Save Edit does in place),
// and so is the one removed and one added unit between two paired ones when it keeps its
// name or its side. Texts are compared exactly as held. The result points into the
// new roster and the old one, which must outlive it.
RosterDiff diffRosters(const Roster& oldRoster, const GameSettings& oldGame, const Roster& newRoster,
                       const GameSettings& newGame);

// For people: one line per setting, unit added, removed, changed, renamed or moved, with
// each changed field below it as old → new (a renamed unit's name and side are in its
// line). Every text is quoted and escaped as quotedText does.
std::string diffAsText(const RosterDiff& diff);

// For scripts: {"settings": {KEY: {"old": ..., "new": ...}}, "units": [...]}; each unit
// entry has "change": "removed", "added", "changed", "renamed" or "moved".
std::string diffAsJson(const RosterDiff& diff);

} // namespace brevorn
