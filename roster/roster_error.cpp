// Wording of a refused value and of a save that has something to add.
#include "roster_error.h"

namespace brevorn {

// unit 2 "Bravo", unit_ammo "N/A": needs a whole number from 0 to 10
// Day_Counter "40": needs a whole number from 0 to 37
std::string ValueProblem::describe() const
{
    std::string where = slot > 0 ? "unit " + std::to_string(slot) + " \"" + unitName + "\", " : std::string();
    return where + fieldKey + " \"" + text + "\": needs " + allowed;
}

std::string SaveOutcome::describe(const std::filesystem::path& path) const
{
    std::string message;
    for (const std::string& warning : warnings)
        message += (message.empty() ? "saved " + quotedPath(path) + ", but " : "; and ") + warning;
    return message;
}

std::string readOnlyFileReason()
{
    return "the file is read-only for you (its permissions do not let you change it); it was left as it was";
}

std::string otherNamesWarning(unsigned long links)
{
    return links == 2
               ? "the file's other name (a hard link) still shows the old contents"
               : "the file's " + std::to_string(links - 1) + " other names (hard links) still show the old contents";
}

} // namespace brevorn
