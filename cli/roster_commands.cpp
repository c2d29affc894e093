// check and normalize: the roster library driven from the command line.
#include "roster_commands.h"

#include "roster.h"
#include "roster_reader.h"
#include "roster_writer.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace brevorn {

namespace {

// The library's messages already name the file; say it once, in the "file: message" form.
std::string located(const std::string& path, const std::string& message)
{
    if (message.starts_with(path + ":"))
        return message;
    return path + ": " + message;
}

std::string quotedOrNotGiven(const std::optional<std::string>& text)
{
    return text ? "\"" + *text + "\"" : std::string("(not given)");
}

// What the editor's game boxes hold after LOAD into a fresh window: the file's texts, empty where it gave none.
// Moved out of the read, as a text may be as large as the file.
GameSettings gameAsLoaded(RosterReadResult&& read)
{
    return {std::move(read.Day_Counter).value_or(""), std::move(read.Theatre).value_or(""),
            std::move(read.Season).value_or("")};
}

void reportProblems(const std::string& path, const RosterError& error, std::ostream& err)
{
    if (error.problems.empty())
        err << located(path, error.message) << '\n';
    for (const ValueProblem& problem : error.problems)
        err << path << ": " << problem.describe() << '\n';
}

int checkRosterFile(const std::string& path, std::ostream& out, std::ostream& err)
{
    // The table of 501 slots is too large to put on the stack comfortably.
    auto roster = std::make_unique<Roster>();
    bool found = false;
    const FindingSink report = [&](const ReaderFinding& finding) {
        err << path << ':' << finding.line << ": " << finding.message << '\n';
        found = true;
    };

    const Expected<RosterReadResult> read = ReadRosterFile(path, *roster, report);
    if (!read) {
        err << located(path, read.error().message) << '\n';
        return ExitTrouble;
    }

    const RosterReadResult& result = read.value();
    const int units = result.nextSlot - 1;
    out << path << ": " << units << (units == 1 ? " unit" : " units") << "; Day_Counter "
        << quotedOrNotGiven(result.Day_Counter) << ", Theatre " << quotedOrNotGiven(result.Theatre) << ", Season "
        << quotedOrNotGiven(result.Season) << '\n';

    const Expected<std::string> bytes = rosterFileBytes(*roster, gameAsLoaded(RosterReadResult(result)));
    if (!bytes) {
        reportProblems(path, bytes.error(), err);
        found = true;
    }
    return found ? ExitFindings : ExitClean;
}

} // namespace

int checkRosterFiles(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err)
{
    int worst = ExitClean;
    for (const std::string& path : paths)
        worst = std::max(worst, checkRosterFile(path, out, err));
    return worst;
}

int normalizeRosterFile(const std::string& inPath, const std::string& outPath, std::ostream& err)
{
    auto roster = std::make_unique<Roster>();
    Expected<RosterReadResult> read = ReadRosterFile(inPath, *roster);
    if (!read) {
        err << located(inPath, read.error().message) << '\n';
        return ExitTrouble;
    }

    const GameSettings game = gameAsLoaded(std::move(read).value());
    const Expected<SaveOutcome> written =
        WriteRosterFile(outPath, *roster, game.Day_Counter, game.Theatre, game.Season);
    if (written) {
        // Saved, but not all is well (the folder was not flushed, say): said, and still a success.
        if (!written.value().warnings.empty())
            err << written.value().describe(outPath) << '\n';
        return ExitClean;
    }
    const RosterError* failure = &written.error();

    if (failure->problems.empty()) {
        err << located(outPath, failure->message) << '\n';
        return ExitTrouble;
    }
    // Refused values are named where the user can mend them, in IN, one to a line.
    for (const ValueProblem& problem : failure->problems)
        err << inPath << ": " << problem.describe() << '\n';
    const std::size_t refused = failure->problems.size();
    err << outPath << ": not written: " << refused << (refused == 1 ? " value" : " values") << " cannot be saved\n";
    return ExitFindings;
}

} // namespace brevorn
