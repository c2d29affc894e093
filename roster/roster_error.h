// What a read or save tells the user: one message, plus the value problems behind a refusal.
#pragma once

// Messages name their files with quotedPath.
#include "path_text.h"

#include <filesystem>
#include <string>
#include <vector>

namespace brevorn {

// One value that a save cannot write: which unit, which field, which text, what is allowed.
struct ValueProblem
{
    int slot = 0;                 // 1..500 for a unit field, 0 for a game setting
    std::string unitName;         // the unit's name (empty for a game setting)
    std::string fieldKey;         // the file key: "unit_ammo", "Day_Counter", ...
    std::string text;             // the value as held (UTF-8)
    std::string allowed;          // what would be accepted, in words: "a whole number from 0 to 10"
    std::string describe() const; // one line a user can act on
};

struct RosterError
{
    std::string message;                // complete, names the file and the reason
    std::vector<ValueProblem> problems; // every value a save refused; empty for file errors
};

// A save that put the new contents in place, with what the user should still know about it.
struct SaveOutcome
{
    // Clauses about the saved file, e.g. "its folder could not be flushed to disk (...), so
    // the change may not survive a power cut"; empty for a save with nothing to add.
    std::vector<std::string> warnings;
    // "saved \"PATH\", but CLAUSE; and CLAUSE"; empty when there is no warning.
    std::string describe(const std::filesystem::path& path) const;
};

// Words that the saves of every platform use: why a read-only file is refused, and what a
// save adds about the other names of the file (hard links), of which there are links - 1.
std::string readOnlyFileReason();
std::string otherNamesWarning(unsigned long links);

} // namespace brevorn
