// check and normalize: the roster library driven from the command line.
#include "roster_commands.h"

#include "roster_files.h"
#include "roster_writer.h"
#include "system_path.h"
#include "utf8_lookalike.h"
#include "windows1252.h"

#include <algorithm>
#include <fstream>
#include <optional>

namespace brevorn {

namespace {

std::string quotedOrNotGiven(const std::optional<std::string>& text)
{
    return text ? "\"" + *text + "\"" : std::string("(not given)");
}

// Prints the reader's findings as they come, each run of ignored lines cut short after its
// first few: a binary file would otherwise give a message for nearly every line it has. A
// run is ignored items with no value read between them.
class FindingPrinter
{
public:
    FindingPrinter(const std::filesystem::path& path, std::ostream& err)
        : m_file(pathText(path))
        , m_err(err)
    {
    }

    void finding(const ReaderFinding& finding)
    {
        m_any = true;
        if (finding.kind != ReaderFinding::Kind::IgnoredItem) {
            endRun();
            print(finding.line, finding.message);
            return;
        }
        const bool newLine = finding.line != m_lastLine;
        m_lastLine = finding.line;
        m_linesInRun += newLine ? 1 : 0;
        if (m_linesInRun <= ShownLinesPerRun) {
            print(finding.line, finding.message);
        } else if (newLine) {
            if (m_hiddenLines++ == 0)
                m_firstHidden = finding.line;
        }
    }

    void endRun()
    {
        if (m_hiddenLines > 0) {
            std::string more = "… and " + std::to_string(m_hiddenLines) + " more ignored ";
            more += m_hiddenLines == 1 ? "line" : "lines, up to line " + std::to_string(m_lastLine);
            print(m_firstHidden, more);
        }
        m_linesInRun = 0;
        m_hiddenLines = 0;
        m_lastLine = 0;
    }

    bool any() const { return m_any; }

private:
    static constexpr int ShownLinesPerRun = 5;

    void print(std::int64_t line, const std::string& message)
    {
        m_err << m_file << ':' << line << ": " << message << '\n';
    }

    std::string m_file;
    std::ostream& m_err;
    bool m_any = false;
    int m_linesInRun = 0;
    std::int64_t m_lastLine = 0;
    std::int64_t m_hiddenLines = 0;
    std::int64_t m_firstHidden = 0;
};

// "file:12: looks like UTF-8; ..." when the file's non-ASCII bytes are all UTF-8.
bool reportUtf8Lookalike(const std::filesystem::path& path, std::ostream& err)
{
    std::ifstream in(systemPath(path), std::ios::binary);
    const std::optional<Utf8Lookalike> lookalike = findUtf8Lookalike(in);
    if (!lookalike)
        return false;
    err << located(path, lookalike->line) << ": looks like UTF-8; the game reads Windows-1252 and will show \""
        << windows1252ToUtf8(lookalike->word) << "\" for \"" << lookalike->word
        << "\"; save the file as Windows-1252\n";
    return true;
}

int checkRosterFile(const std::filesystem::path& path, std::ostream& out, std::ostream& err)
{
    const std::string file = pathText(path);
    FindingPrinter findings(path, err);
    Expected<LoadedRoster> loaded = loadRoster(
        path, [&](const ReaderFinding& finding) { findings.finding(finding); },
        [&](const ValueSource&) { findings.endRun(); });
    findings.endRun();
    bool found = findings.any();
    if (reportFailures(err, loaded))
        return ExitTrouble;

    const RosterReadResult& result = loaded.value().read;
    const int units = result.nextSlot - 1;
    out << file << ": " << units << (units == 1 ? " unit" : " units") << "; Day_Counter "
        << quotedOrNotGiven(result.Day_Counter) << ", Theatre " << quotedOrNotGiven(result.Theatre) << ", Season "
        << quotedOrNotGiven(result.Season) << '\n';

    found = reportUtf8Lookalike(path, err) || found;
    const Expected<std::string> bytes = rosterFileBytes(*loaded.value().roster, loaded.value().takeGame());
    if (!bytes) {
        for (const ValueProblem& problem : bytes.error().problems)
            err << located(path, loaded.value().lines.lineOf(problem)) << ": " << problem.describe() << '\n';
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
    if (reportFailures(err, loaded))
        return ExitTrouble;

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
        err << located(inPath, loaded.value().lines.lineOf(problem)) << ": " << problem.describe() << '\n';
    const std::size_t refused = failure.problems.size();
    err << pathText(outPath) << ": not written: " << refused << (refused == 1 ? " value" : " values")
        << " cannot be saved\n";
    return ExitFindings;
}

} // namespace brevorn
