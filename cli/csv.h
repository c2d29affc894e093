// Tables in the comma-separated form of RFC 4180: rows of cells, read and written.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brevorn {

// Something in the text that is not RFC 4180. Rows and columns count from 1, as a
// spreadsheet shows them.
struct CsvProblem
{
    std::size_t row = 0;
    std::size_t column = 0;
    std::string message;
};

struct CsvTable
{
    std::vector<std::vector<std::string>> rows;
    std::vector<CsvProblem> problems;
};

// Reads every row. A UTF-8 byte-order mark at the start is passed over; rows end with
// CR LF, LF or a lone CR; a cell that starts with a double quote runs to the closing one,
// across commas and line ends, and "" in it stands for one quote. Empty lines at the end
// make no rows. Problems do not stop the reading: the cell keeps what was read.
CsvTable readCsv(std::string_view bytes);

// Appends one row ended by CR LF. A cell is quoted when it holds a quote, a comma, a
// semicolon or a line end, or starts or ends with a blank, so that a spreadsheet keeps it
// whole whichever separator it guesses and whether or not it trims blanks.
void appendCsvRow(std::string& out, std::span<const std::string_view> cells);

// The spreadsheet's name of a 1-based column: A, B, ..., Z, AA, AB, ...
std::string columnLetters(std::size_t column);

} // namespace brevorn
