// Tables in the comma-separated form of RFC 4180, and its semicolon and tab variants: read
// cell by cell as the text arrives, and written row by row.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace brevorn {

// What a CSV reading hands on as it goes. Rows and columns count from 1, as a spreadsheet
// shows them.
class CsvSink
{
public:
    // A row is about to begin; false stops the reading before it.
    virtual bool rowBegins(std::size_t row) = 0;
    // Whether the text of the cell that begins here is wanted: an unwanted cell's text is
    // passed over and not kept.
    virtual bool wantsCell(std::size_t row, std::size_t column) = 0;
    // A wanted cell, complete.
    virtual void cell(std::size_t row, std::size_t column, std::string text) = 0;
    virtual void rowEnds(std::size_t row, std::size_t cells) = 0;
    // Something in the text that is not RFC 4180; the cell keeps what was read.
    virtual void problem(std::size_t row, std::size_t column, std::string message) = 0;

protected:
    ~CsvSink() = default;
};

// Text in pieces, as it is read; an empty piece ends it.
using TextPieces = std::function<std::string_view()>;

struct CsvEnd
{
    char separator = ',';
    std::size_t row = 0; // the row in which the text ended or the reading was stopped
};

// Reads every row of the text into the sink. The separator is the first comma, semicolon
// or tab that stands outside quotes in the first row (the header, whose keys hold none of
// them), else a comma. Rows end with CR LF, LF or a lone CR; a cell that starts with a
// double quote runs to the closing one, across separators and line ends, and "" in it
// stands for one quote. Empty lines at the end make no rows. Problems do not stop the
// reading.
CsvEnd readCsv(const TextPieces& text, CsvSink& sink);

// Appends one row ended by CR LF, cells apart by the separator (a comma, a semicolon or a
// tab). A cell is quoted when it holds a quote, a comma, a semicolon, the separator or a
// line end, or starts or ends with a blank, so that a spreadsheet keeps it whole whichever
// separator it guesses and whether or not it trims blanks.
void appendCsvRow(std::string& out, std::span<const std::string_view> cells, char separator);

// The spreadsheet's name of a 1-based column: A, B, ..., Z, AA, AB, ...
std::string columnLetters(std::size_t column);

} // namespace brevorn
