// diff: two roster files compared.
#include "roster_commands.h"

#include "roster_diff.h"
#include "roster_files.h"

namespace brevorn {

int diffRosterFiles(const std::filesystem::path& oldPath, const std::filesystem::path& newPath, bool json,
                    std::ostream& out, std::ostream& err)
{
    Expected<LoadedRoster> before = loadRoster(oldPath);
    Expected<LoadedRoster> after = loadRoster(newPath);
    if (reportFailures(err, before, after))
        return ExitTrouble;
    const RosterDiff diff =
        diffRosters(*before.value().roster, before.value().takeGame(), *after.value().roster, after.value().takeGame());
    out << (json ? diffAsJson(diff) : diffAsText(diff)) << std::flush;
    if (!out) {
        err << "cannot write the differences to standard output\n";
        return ExitTrouble;
    }
    return diff.same() ? ExitClean : ExitFindings;
}

} // namespace brevorn
