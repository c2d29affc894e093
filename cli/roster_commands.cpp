// check and normalize: the roster library driven from the command line.
#include "roster_commands.h"

#include "roster_files.h"
#include "roster_writer.h"
#include "shown_text.h"
#include "system_path.h"
#include "unit_fields.h"
#include "utf8_lookalike.h"
#include "value_hazards.h"
#include "windows1252.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <vector>

namespace brevorn {

namespace {

std::string quotedOrNotGiven(const std::optional<std::string>& text)
{
    return text ? "\"" + *text + "\"" : std::string("(not given)");
}

// What check says about one file: a message and the line it belongs to (0 for the file
// as a whole), printed in line order once the file is read.
struct CheckFinding
{
    std::int64_t line = 0;
    std::string message;
};

// Gathers the reader's findings as they come, each run of ignored lines cut short after its
// first few: a binary file would otherwise give a message for nearly every line it has. A
// run is ignored items with no value read between them.
class FindingCollector
{
public:
    explicit FindingCollector(std::vector<CheckFinding>& findings)
        : m_findings(findings)
    {
    }

    void finding(const ReaderFinding& finding)
    {
        if (finding.kind != ReaderFinding::Kind::IgnoredItem) {
            endRun();
            m_findings.push_back({finding.line, finding.message});
            return;
        }
        const bool newLine = finding.line != m_lastLine;
        m_lastLine = finding.line;
        m_linesInRun += newLine ? 1 : 0;
        if (m_linesInRun <= ShownLinesPerRun) {
            m_findings.push_back({finding.line, finding.message});
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
            m_findings.push_back({m_firstHidden, more});
        }
        m_linesInRun = 0;
        m_hiddenLines = 0;
        m_lastLine = 0;
    }

private:
    static constexpr int ShownLinesPerRun = 5;

    std::vector<CheckFinding>& m_findings;
    int m_linesInRun = 0;
    std::int64_t m_lastLine = 0;
    std::int64_t m_hiddenLines = 0;
    std::int64_t m_firstHidden = 0;
};

// "file:12: looks like UTF-8; ..." when the file's non-ASCII bytes are all UTF-8.
void noteUtf8Lookalike(const std::filesystem::path& path, std::vector<CheckFinding>& findings)
{
    std::ifstream in(systemPath(path), std::ios::binary);
    const std::optional<Utf8Lookalike> lookalike = findUtf8Lookalike(in);
    if (!lookalike)
        return;
    findings.push_back({lookalike->line, "looks like UTF-8; the game reads Windows-1252 and will show \"" +
                                             windows1252ToUtf8(lookalike->word) + "\" for \"" + lookalike->word +
                                             "\"; save the file as Windows-1252"});
}

// Texts that a save writes as they are but that do not come back so: from the game, which
// ends a value at a comma or line break, or from a spreadsheet, which may take it for a formula.
void findValueHazards(const LoadedRoster& loaded, std::vector<CheckFinding>& findings)
{
    const auto look = [&](int slot, const std::string& unitName, std::string_view key, const std::string& text) {
        const std::int64_t line = loaded.lines.lineOf(ValueProblem{slot, {}, std::string(key), {}, {}});
        std::string where = slot > 0 ? "unit " + std::to_string(slot) + " " + quotedText(unitName) + ", " : "";
        where += std::string(key) + " " + quotedText(text);
        if (const std::optional<std::string> difference = readBackDifference(text))
            findings.push_back({line, where + " " + *difference});
        if (looksLikeFormula(text))
            findings.push_back({line, where + " starts like a formula: a spreadsheet that opens the exported table "
                                              "may show what it computes instead (open its columns as Text)"});
    };
    look(0, {}, theatreKey, loaded.read.Theatre.value_or(""));
    look(0, {}, seasonKey, loaded.read.Season.value_or(""));
    int slot = 0;
    for (const UnitRecord& unit : loaded.roster->units()) {
        ++slot;
        for (const UnitField& field : unitFields) {
            if (field.kind == FieldKind::Text)
                look(slot, unit.unit_name, field.key, unit.*field.text);
        }
    }
}

// In the order of the file, what belongs to no line first; on one line, as found.
void printInLineOrder(const std::filesystem::path& path, std::vector<CheckFinding>& findings, std::ostream& err)
{
    std::stable_sort(findings.begin(), findings.end(),
                     [](const CheckFinding& a, const CheckFinding& b) { return a.line < b.line; });
    for (const CheckFinding& finding : findings)
        err << located(path, finding.line) << ": " << finding.message << '\n';
}

int checkRosterFile(const std::filesystem::path& path, std::ostream& out, std::ostream& err)
{
    const std::string file = pathText(path);
    std::vector<CheckFinding> findings;
    FindingCollector collector(findings);
    Expected<LoadedRoster> loaded = loadRoster(
        path, [&](const ReaderFinding& finding) { collector.finding(finding); },
        [&](const ValueSource&) { collector.endRun(); });
    collector.endRun();
    if (!loaded) {
        printInLineOrder(path, findings, err);
        err << loaded.error().message << '\n';
        return ExitTrouble;
    }

    const RosterReadResult& result = loaded.value().read;
    const int units = result.nextSlot - 1;
    out << file << ": " << units << (units == 1 ? " unit" : " units") << "; Day_Counter "
        << quotedOrNotGiven(result.Day_Counter) << ", Theatre " << quotedOrNotGiven(result.Theatre) << ", Season "
        << quotedOrNotGiven(result.Season) << '\n';

    noteUtf8Lookalike(path, findings);
    findValueHazards(loaded.value(), findings);
    const Expected<std::string> bytes = rosterFileBytes(*loaded.value().roster, loaded.value().takeGame());
    if (!bytes) {
        for (const ValueProblem& problem : bytes.error().problems)
            findings.push_back({loaded.value().lines.lineOf(problem), problem.describe()});
        if (bytes.error().problems.empty())
            findings.push_back({0, bytes.error().message});
    }

    printInLineOrder(path, findings, err);
    return findings.empty() ? ExitClean : ExitFindings;
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
