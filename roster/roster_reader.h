// Reading a roster file into the roster, by the game's item grammar.
#pragma once

#include "expected.h"
#include "roster.h"
#include "roster_error.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace brevorn {

// Something the reader passed over, and where: for the command-line checker.
struct ReaderFinding
{
    enum class Kind {
        IgnoredItem,     // an item that is no section line and no key of its section
        UnclosedQuote,   // the last item's quote runs to the end of the file
        UnfinishedBlock, // unit lines after the last unit_used line
        CutAtComma,      // a value whose line goes on past a comma, where the game stops reading it
    };
    std::int64_t line = 0; // 1-based line on which the item starts
    std::string message;   // e.g. "ignored item \"unit_nmae=Bob\": no such key in the unit section"
    Kind kind = Kind::IgnoredItem;
};

using FindingSink = std::function<void(const ReaderFinding&)>;

// Where a value the reader stored came from: for naming the line of a value that saving refuses.
struct ValueSource
{
    int slot = 0;          // the unit's slot, 0 for a game setting
    std::string_view key;  // the file key ("unit_ammo", "Day_Counter"); valid during the call only
    std::int64_t line = 0; // 1-based line on which its item starts
};

using ValueSourceSink = std::function<void(const ValueSource&)>;

struct RosterReadResult
{
    int nextSlot = 1; // one past the last completed unit; 1 when none was completed
    // The last value read for each game key in a game section; unset when none was.
    std::optional<std::string> Day_Counter;
    std::optional<std::string> Theatre;
    std::optional<std::string> Season;
};

// Reads the stream's bytes into the roster: unit fields from slot 1 upwards and
// UnitCount at each completed unit; nothing is emptied beforehand. All or nothing:
// on failure (a 501st unit, a read error) the roster is exactly as it was.
// sourceName names the file in messages. Findings and value sources, when sinks are given,
// arrive in file order as they are found (the unclosed quote and the unfinished block at the end).
Expected<RosterReadResult> readRoster(std::istream& in, const std::filesystem::path& sourceName, Roster& roster,
                                      const FindingSink& findings = {}, const ValueSourceSink& valueSources = {});

// The same, from the file at path; fails when the path cannot be opened or read.
Expected<RosterReadResult> ReadRosterFile(const std::filesystem::path& path, Roster& roster,
                                          const FindingSink& findings = {}, const ValueSourceSink& valueSources = {});

} // namespace brevorn
