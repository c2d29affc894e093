// The commands of brevorn-roster, callable without a process: arguments in, exit code out.
#pragma once

#include "roster_table.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <vector>

namespace brevorn {

inline constexpr int ExitClean = 0;    // no finding, the file written, the rosters the same
inline constexpr int ExitFindings = 1; // a finding, a value or table that cannot be saved, the rosters differ
inline constexpr int ExitTrouble = 2;  // a file that cannot be read or written, over 500 units, a malformed call

// Reads each file into an empty roster as the editor's LOAD does. Prints one summary line
// per readable file on out; every finding, read failure and value that saving would refuse
// goes to err as "file:line: message", or "file: message" where no line belongs to it.
// Every file is checked, whatever befell the ones before it.
int checkRosterFiles(const std::vector<std::filesystem::path>& paths, std::ostream& out, std::ostream& err);

// Reads inPath into an empty roster and writes it to outPath as the editor's SAVE does,
// with the game settings the file gave (the empty text where it gave none). Silent when
// it succeeds; on failure outPath is as it was and err says why.
int normalizeRosterFile(const std::filesystem::path& inPath, const std::filesystem::path& outPath, std::ostream& err);

struct ExportRequest
{
    std::filesystem::path roster;
    TableFormat format = TableFormat::Csv;
    bool byteOrderMark = false;                  // CSV only
    std::optional<std::filesystem::path> output; // standard output when not given
    bool force = false;                          // output may be another roster, which it replaces
    char separator = ',';                        // CSV only: a comma, a semicolon or a tab
};

// Writes the roster's units (and, in JSON, its game settings) as a table. An output named
// for a spreadsheet workbook, the roster itself, or (without force) another roster is
// refused and left as it was.
int exportRoster(const ExportRequest& request, std::ostream& out, std::ostream& err);

struct ImportRequest
{
    std::filesystem::path table;
    std::optional<TableFormat> format; // by the table's ending when not given
    std::filesystem::path roster;      // the roster whose units the table replaces
    std::filesystem::path output;      // where the result goes; may be roster
};

// Replaces the roster's units with the table's rows, and its game settings with those a
// JSON table gives, and saves the result to output. The table's problems are listed, the
// first ShownProblemLimit of them, and no file is touched. The table must be a regular file:
// a pipe or a device is refused before anything is read from it.
int importTable(const ImportRequest& request, std::ostream& err);

// Prints what changed from oldPath to newPath, as text or as JSON; exits as diff(1) does:
// 0 the same, 1 different, 2 trouble.
int diffRosterFiles(const std::filesystem::path& oldPath, const std::filesystem::path& newPath, bool json,
                    std::ostream& out, std::ostream& err);

} // namespace brevorn
