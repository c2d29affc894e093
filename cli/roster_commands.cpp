// check and normalize: the roster library driven from the command line.
#include "roster_commands.h"

#include "roster_files.h"
#include "roster_writer.h"

#include <algorithm>
#include <optional>

namespace brevorn {

namespace {

std::string quotedOrNotGiven(const std::optional<std::string>& text)
{
    return text ? "\"" + *text + "\"" : std::string("(not given)");
}

int checkRosterFile(const std::filesystem::path& path, std::ostream& out, std::ostream& err)
{
    const std::string file = pathText(path);
    bool found = false;
    const FindingSink report = [&](const ReaderFinding& finding) {
        err << file << ':' << finding.line << ": " << finding.message << '\n';
        found = true;
    };

    Expected<LoadedRoster> loaded = loadRoster(path, report);
    if (!loaded) {
        // The library's message names the file already.
        err << loaded.error().message << '\n';
        return ExitTrouble;
    }

    const RosterReadResult& result = loaded.value().read;
    const int units = result.nextSlot - 1;
    out << file << ": " << units << (units == 1 ? " unit" : " units") << "; Day_Counter "
        << quotedOrNotGiven(result.Day_Counter) << ", Theatre " << quotedOrNotGiven(result.Theatre) << ", Season "
        << quotedOrNotGiven(result.Season) << '\n';

    const Expected<std::string> bytes = rosterFileBytes(*loaded.value().roster, loaded.value().takeGame());
    if (!bytes) {
        for (const ValueProblem& problem : bytes.error().problems)
            err << file << ": " << problem.describe() << '\n';
        if (bytes.error().problems.empty())
            err << file << ": " << bytes.error().message << '\n';
        found = true;
    }
    return found ? ExitFindings : ExitClean;
}

} // namespace

int checkRosterFiles(const std::vector<std::filesystem::path>& paths, std::ostream& out, std::ostream& err)
{
    int worst = ExitClean;
    for (const std::filesystem::path& path : paths)
        worst = std::max(worst, checkRosterFile(path, out, err));
    return worst;
}

int normalizeRosterFile(const std::filesystem::path& inPath, const std::filesystem::path& outPath, std::ostream& err)
{
    Expected<LoadedRoster> loaded = loadRoster(inPath);
    if (!loaded) {
        err << loaded.error().message << '\n';
        return ExitTrouble;
    }

    const GameSettings game = loaded.value().takeGame();
    const Expected<SaveOutcome> written =
        WriteRosterFile(outPath, *loaded.value().roster, game.Day_Counter, game.Theatre, game.Season);
    if (written || written.error().problems.empty()) {
        reportSave(written, outPath, err);
        return written ? ExitClean : ExitTrouble;
    }
    const RosterError& failure = written.error();
    // Refused values are named where the user can mend them, in IN, one to a line.
    for (const ValueProblem& problem : failure.problems)
        err << pathText(inPath) << ": " << problem.describe() << '\n';
    const std::size_t refused = failure.problems.size();
    err << pathText(outPath) << ": not written: " << refused << (refused == 1 ? " value" : " values")
        << " cannot be saved\n";
    return ExitFindings;
}

} // namespace brevorn
