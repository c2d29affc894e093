// export and import: a roster's units out to a table and back.
#include "roster_commands.h"

#include "export_output.h"
#include "file_replace.h"
#include "roster_files.h"
#include "roster_writer.h"
#include "unit_fields.h"

#include <new>

namespace brevorn {

namespace {

// The table format of an import by the file's ending: besides .csv and .json, the .txt of
// Excel's "Unicode Text" and the .tsv of tab-separated tables are CSV as the import reads it.
std::optional<TableFormat> importFormatFromEnding(const std::filesystem::path& path)
{
    if (const std::optional<TableFormat> format = formatFromEnding(path))
        return format;
    const std::filesystem::path ending = path.extension();
    for (const char* csv : {".txt", ".TXT", ".tsv", ".TSV"}) {
        if (ending == csv)
            return TableFormat::Csv;
    }
    return std::nullopt;
}

// "… and 12 more problems" after the ones shown; nothing when all were shown.
void reportLeftOut(std::ostream& err, const std::string& tableFile, const TableProblems& found, const char* what)
{
    if (found.count() > found.shown().size())
        err << tableFile << ": … and " << found.count() - found.shown().size() << " more " << what << '\n';
}

// The settings the result gets: the table's where it gives them, else the roster's.
GameSettings resultGame(const ImportedTable& table, const GameSettings& kept)
{
    return {table.Day_Counter.value_or(kept.Day_Counter), table.Theatre.value_or(kept.Theatre),
            table.Season.value_or(kept.Season)};
}

bool tableGives(const ImportedTable& table, std::string_view key)
{
    return key == dayCounterKey ? table.Day_Counter.has_value()
           : key == theatreKey  ? table.Theatre.has_value()
                                : table.Season.has_value();
}

} // namespace

int exportRoster(const ExportRequest& request, std::ostream& out, std::ostream& err)
{
    if (request.output) {
        if (const std::optional<std::string> refusal =
                exportOutputRefusal(request.roster, *request.output, request.force)) {
            err << *refusal << '\n';
            return ExitTrouble;
        }
    }
    Expected<LoadedRoster> loaded = loadRoster(request.roster);
    if (reportFailures(err, loaded))
        return ExitTrouble;
    const Roster& roster = *loaded.value().roster;
    const std::string text = request.format == TableFormat::Csv
                                 ? unitsAsCsv(roster, request.byteOrderMark, request.separator)
                                 : rosterAsJson(roster, loaded.value().takeGame());
    if (request.output) {
        const Expected<SaveOutcome> written = replaceFileContents(*request.output, text);
        reportSave(written, *request.output, err);
        return written ? ExitClean : ExitTrouble;
    }
    out << text << std::flush;
    if (!out) {
        err << "cannot write the table to standard output\n";
        return ExitTrouble;
    }
    return ExitClean;
}

int importTable(const ImportRequest& request, std::ostream& err)
{
    const std::string tableFile = pathText(request.table);
    const std::optional<TableFormat> format = request.format ? request.format : importFormatFromEnding(request.table);
    if (!format) {
        err << tableFile << ": cannot tell CSV from JSON by the file's ending; give --format csv or --format json\n";
        return ExitTrouble;
    }
    Expected<std::ifstream> in = openRegularFile(request.table);
    Expected<LoadedRoster> target = loadRoster(request.roster);
    if (reportFailures(err, in, target))
        return ExitTrouble;

    try {
        ImportedTable table = *format == TableFormat::Csv ? importCsv(in.value()) : importJson(in.value());
        if (in.value().bad()) {
            err << "cannot read " << quotedPath(request.table) << ": the system reported an error part-way through\n";
            return ExitTrouble;
        }
        if (!table.encodingNote.empty())
            err << tableFile << ": " << table.encodingNote << '\n';
        for (const TableProblem& warning : table.warnings.shown())
            err << tableFile << ": " << warning.message << '\n';
        reportLeftOut(err, tableFile, table.warnings, "warnings");
        for (const TableProblem& problem : table.problems.shown())
            err << tableFile << ": " << problem.message << '\n';
        reportLeftOut(err, tableFile, table.problems, "problems");
        std::size_t problems = table.problems.count();

        // The game settings are judged as a whole, wherever each came from.
        const GameSettings game = resultGame(table, target.value().takeGame());
        const auto noUnits = std::make_unique<Roster>();
        const Expected<std::string> gameBytes = rosterFileBytes(*noUnits, game);
        if (!gameBytes) {
            for (const ValueProblem& refused : gameBytes.error().problems) {
                if (tableGives(table, refused.fieldKey))
                    err << tableFile << ": game." << refused.describe() << '\n';
                else
                    err << located(request.roster, target.value().lines.lineOf(refused)) << ": " << refused.describe()
                        << '\n';
            }
            problems += gameBytes.error().problems.size();
        }
        if (problems > 0) {
            err << pathText(request.output) << ": not written: " << problems
                << (problems == 1 ? " problem" : " problems") << " to mend first\n";
            return ExitFindings;
        }

        // The units are moved, not copied: the texts of a large table are held once.
        target.value().roster.reset();
        const auto result = std::make_unique<Roster>();
        const Expected<void> filled = result->replaceUnits(std::move(table.units));
        if (!filled) {
            err << "cannot import " << quotedPath(request.table) << ": " << filled.error().message << '\n';
            return ExitTrouble;
        }
        const Expected<SaveOutcome> written =
            WriteRosterFile(request.output, *result, game.Day_Counter, game.Theatre, game.Season);
        reportSave(written, request.output, err);
        return written ? ExitClean : ExitTrouble;
    } catch (const std::bad_alloc&) {
        err << "cannot import " << quotedPath(request.table) << ": there is not enough memory to read it\n";
        return ExitTrouble;
    }
}

} // namespace brevorn
