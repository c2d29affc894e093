// A roster's units as a table: CSV for spreadsheets, JSON for scripts; out and back in.
#pragma once

#include "roster.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevorn {

enum class TableFormat { Csv, Json };

// The format a file's ending names (".csv" or ".json", in any case), or nothing.
std::optional<TableFormat> formatFromEnding(const std::filesystem::path& path);

// A header row of the fifteen field keys in the file's order, then one row per unit in
// slot order, in UTF-8: every text exactly as held, an unset count as an empty cell. With
// byteOrderMark the text starts with the UTF-8 byte-order mark that Excel needs.
std::string unitsAsCsv(const Roster& roster, bool byteOrderMark);

// {"game": {the three settings}, "units": [{the fifteen keys}, ...]}; an unset count is null.
std::string rosterAsJson(const Roster& roster, const GameSettings& game);

// One thing wrong with a table. row and column order the problems as the table holds
// them (row 0 for the table as a whole); message names the place, e.g.
// row 3, unit_ammo (column C) "N/A": needs a whole number from 0 to 10
struct TableProblem
{
    std::size_t row = 0;
    std::size_t column = 0;
    std::string message;
};

struct ImportedTable
{
    std::vector<UnitRecord> units; // in table order, one per row (or JSON unit), also past 500
    // The game settings a JSON table gives; a CSV table gives none.
    std::optional<std::string> Day_Counter;
    std::optional<std::string> Theatre;
    std::optional<std::string> Season;
    std::vector<TableProblem> problems; // every one found, in table order; units holds nothing usable when any
};

// Columns may come in any order; a missing column gives empty texts (unset counts), an
// empty cell of a count column an unset count. Problems: anything that is not RFC 4180,
// bytes that are not UTF-8, an unknown or repeated column, a row whose number of cells
// differs from the header's, more than 500 rows, a line break in a value, and every value
// the roster writer refuses.
ImportedTable importCsv(std::string_view bytes);

// The form rosterAsJson writes; "game" may be left out or give only some settings. A count
// or the day may also be a JSON number, and a count null (unset). Problems as for CSV, and
// anything that is not JSON of this form, such as a key given twice.
ImportedTable importJson(std::string_view bytes);

} // namespace brevorn
