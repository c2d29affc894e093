// A roster's units as a table: CSV for spreadsheets, JSON for scripts; out and back in.
#pragma once

#include "roster.h"

#include <cstddef>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevorn {

enum class TableFormat { Csv, Json };

// The format a file's ending names (".csv" or ".json", in any case), or nothing.
std::optional<TableFormat> formatFromEnding(const std::filesystem::path& path);

// A header row of the fifteen field keys in the file's order, then one row per unit in
// slot order, in UTF-8, cells apart by the separator (a comma, a semicolon or a tab): every
// text exactly as held, an unset count as an empty cell. With byteOrderMark the text
// starts with the UTF-8 byte-order mark that Excel needs.
std::string unitsAsCsv(const Roster& roster, bool byteOrderMark, char separator);

// {"game": {the three settings}, "units": [{the fifteen keys}, ...]}; an unset count is null.
std::string rosterAsJson(const Roster& roster, const GameSettings& game);

// One thing wrong with a table, or worth a warning. row and column order them as the table
// holds them (row 0 for the table as a whole); message names the place, e.g.
// row 3, unit_ammo (column C) "N/A": needs a whole number from 0 to 10
struct TableProblem
{
    std::size_t row = 0;
    std::size_t column = 0;
    std::string message;
};

// How many problems (and how many warnings) a table's reading keeps to show.
inline constexpr std::size_t ShownProblemLimit = 100;

// The first problems of a table in table order, at most ShownProblemLimit of them, and how
// many were found in all: a table of a million bad rows costs no more than one of a hundred.
class TableProblems
{
public:
    void add(TableProblem problem);
    // Drops all found so far: the one problem given makes them moot.
    void replaceAll(TableProblem problem);

    const std::vector<TableProblem>& shown() const { return m_shown; }
    std::size_t count() const { return m_count; }
    bool empty() const { return m_count == 0; }

private:
    std::vector<TableProblem> m_shown;
    std::size_t m_count = 0;
};

struct ImportedTable
{
    std::vector<UnitRecord> units; // in table order, one per row (or JSON unit), at most MaxUnits
    // The game settings a JSON table gives; a CSV table gives none.
    std::optional<std::string> Day_Counter;
    std::optional<std::string> Theatre;
    std::optional<std::string> Season;
    TableProblems problems; // units holds nothing usable when there is any
    TableProblems warnings; // texts that import but a spreadsheet would take for formulas
    // Said once before anything else, e.g. that the table was read as Windows-1252; empty when
    // there is nothing to say.
    std::string encodingNote;
};

// Reads a CSV table as spreadsheets save it: the separator (comma, semicolon or tab) taken
// from the header row; UTF-8 with or without a byte-order mark, UTF-16 with one, and, when
// the bytes are not UTF-8, Windows-1252 (read again from the stream's start, which must be
// possible). Columns may come in any order; a missing column gives empty texts (unset
// counts), an empty cell of a count column an unset count. Reading stops at a row past the
// 500th, which is then the one problem. Problems: anything that is not RFC 4180, bytes that
// are not of the encoding, an unknown or repeated column, a row whose number of cells
// differs from the header's, a text that the game would read back differently (a comma, a
// line break, a NUL), a text that looks like UTF-8 read as Windows-1252, and every value
// the roster writer refuses. Warnings: texts that start like a spreadsheet formula.
ImportedTable importCsv(std::istream& in);

// The form rosterAsJson writes; "game" may be left out or give only some settings. A count
// or the day may also be a JSON number, and a count null (unset). Problems and warnings as
// for CSV, and anything that is not JSON of this form, such as a key given twice.
ImportedTable importJson(std::istream& in);

} // namespace brevorn
