// RFC 4180 and its semicolon and tab variants, as the import reads them and the export writes them.
#include "csv.h"

#include <gtest/gtest.h>

namespace brevorn {
namespace {

// Keeps what the reading hands on as text: rows as [cell|cell], problems as " row,column: message".
class Collected final : public CsvSink
{
public:
    std::size_t stopAtRow = 0;     // rowBegins refuses this row; 0 for none
    std::size_t skippedColumn = 0; // wantsCell refuses this column; 0 for none
    std::string text;

    bool rowBegins(std::size_t row) override
    {
        if (row == stopAtRow) {
            text += " stop at " + std::to_string(row);
            return false;
        }
        text += '[';
        return true;
    }
    bool wantsCell(std::size_t, std::size_t column) override { return column != skippedColumn; }
    void cell(std::size_t, std::size_t column, std::string cell) override { text += (column > 1 ? "|" : "") + cell; }
    void rowEnds(std::size_t, std::size_t cells) override { text += "]" + (cells > 1 ? std::to_string(cells) : ""); }
    void problem(std::size_t row, std::size_t column, std::string message) override
    {
        text += " " + std::to_string(row) + "," + std::to_string(column) + ": " + message;
    }
};

// The text in one piece, then in pieces of one byte, which puts a piece's end at every
// place; both must read alike. Then the separator and the row the reading ended in.
std::string read(const std::string& text, Collected collected = {})
{
    Collected whole = collected;
    bool given = false;
    const CsvEnd end = readCsv(
        [&] {
            given = !given;
            return given ? std::string_view(text) : std::string_view();
        },
        whole);
    Collected bytewise = collected;
    std::size_t at = 0;
    readCsv([&] { return at < text.size() ? std::string_view(text).substr(at++, 1) : std::string_view(); }, bytewise);
    EXPECT_EQ(bytewise.text, whole.text) << text;
    const std::string separator = end.separator == '\t' ? "tab" : std::string(1, end.separator);
    return whole.text + " (" + separator + " row " + std::to_string(end.row) + ")";
}

TEST(CsvReading, RowsCellsQuotesAndTheSeparator)
{
    // Rows show their number of cells after the ] when they have more than one.
    const std::pair<std::string, std::string> cases[] = {
        {"a,b\r\nc,d\ne,f\rg,h", "[a|b]2[c|d]2[e|f]2[g|h]2 (, row 4)"},
        {"a,b\r", "[a|b]2 (, row 2)"},
        {"\"x,y\",\"said \"\"hi\"\"\"\r\n", "[x,y|said \"hi\"]2 (, row 2)"},
        {"\"one\r\ntwo\",b\n\"three\nfour\"\n", "[one\r\ntwo|b]2[three\nfour] (, row 3)"},
        {"\"\",\"\"\"\"\r\n", "[|\"]2 (, row 2)"},
        {" a , b \t\r\n", "[ a | b \t]2 (, row 2)"},
        {",\r\n,,\r\n", "[|]2[||]3 (, row 3)"},
        {"a\r\n\r\n\n\r\n", "[a] (, row 5)"},
        {"a\r\n\r\nb\r\n", "[a][][b] (, row 4)"},
        {"", " (, row 1)"},
        {"a,\xEF\xBB\xBF"
         "b\r\n",
         "[a|\xEF\xBB\xBF"
         "b]2 (, row 2)"},
        {"a,5\" gun\r\nb\r\n",
         "[a 1,2: a double quote inside a cell that does not start with one; quote the cell and double the quote"
         "|5\" gun]2[b] (, row 3)"},
        {"a,\"b\r\nc,d\r\n", "[a 1,2: the double quote that starts this cell is never closed|b\r\nc,d\r\n]2 (, row 1)"},
        {"\"a\"b,c\r\n\"d\" ,e\r\n", "[ 1,1: text after the double quote that closes the cell"
                                     "ab|c]2[ 2,1: text after the double quote that closes the cell"
                                     "d |e]2 (, row 3)"},
        // The separator is the header row's first comma, semicolon or tab outside quotes.
        {"a;b\r\nc;d,e\r\n", "[a|b]2[c|d,e]2 (; row 3)"},
        {"a\tb\r\n\"c\td\"\te;f\r\n", "[a|b]2[c\td|e;f]2 (tab row 3)"},
        {"\"a,b\";c\r\n", "[a,b|c]2 (; row 2)"},
        {"a,b;c\tx\r\n", "[a|b;c\tx]2 (, row 2)"},
        {"\"x\r\ny\"\tb\r\n", "[x\r\ny|b]2 (tab row 2)"},
        // Only the header row counts; one column has none, and a comma stands for it.
        {"a\r\nb;c,d\r\n", "[a][b;c|d]2 (, row 3)"},
    };
    for (const auto& [bytes, want] : cases)
        EXPECT_EQ(read(bytes), want) << bytes;
}

TEST(CsvReading, TheSinkStopsTheReadingAndPassesOverCellsItDoesNotWant)
{
    Collected stopping;
    stopping.stopAtRow = 3;
    EXPECT_EQ(read("a\r\nb\r\nc\r\nd\r\n", stopping), "[a][b] stop at 3 (, row 3)");
    // The empty line before the stop is a row of its own, as it is followed by more.
    EXPECT_EQ(read("a\r\n\r\n\"c\r\n", stopping), "[a][] stop at 3 (, row 3)");

    Collected skipping;
    skipping.skippedColumn = 2;
    EXPECT_EQ(read("a,b,c\r\n\"d\",\"e,\"\"\",f\r\n", skipping), "[a|c]3[d|f]3 (, row 3)");
}

TEST(CsvWriting, QuotesWhatASpreadsheetWouldSplitOrTrimAndReadsBackTheSame)
{
    // One cell per case, and its line as written.
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"a;b", "\"a;b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"one\r\ntwo", "\"one\r\ntwo\""},
        {" lead", "\" lead\""},
        {"trail\t", "\"trail\t\""},
        {"in side", "in side"},
        {"M\xC3\xBCller", "M\xC3\xBCller"},
    };
    for (const char separator : {',', ';', '\t'}) {
        for (const auto& [cell, want] : cases) {
            std::string line;
            const std::string_view cells[] = {cell, "x"};
            appendCsvRow(line, cells, separator);
            EXPECT_EQ(line, want + separator + "x\r\n") << cell;
            EXPECT_EQ(read(line).substr(0, cell.size() + 6), "[" + cell + "|x]2 ") << cell;
        }
    }
    // A tab inside a cell needs quotes only where the tab separates.
    std::string line;
    const std::string_view cells[] = {"a\tb", "c"};
    appendCsvRow(line, cells, '\t');
    appendCsvRow(line, cells, ',');
    EXPECT_EQ(line, "\"a\tb\"\tc\r\na\tb,c\r\n");
}

TEST(CsvWriting, ColumnLettersAsASpreadsheetNamesThem)
{
    const std::pair<std::size_t, std::string> cases[] = {{1, "A"},   {15, "O"},  {26, "Z"},   {27, "AA"},
                                                         {52, "AZ"}, {53, "BA"}, {703, "AAA"}};
    for (const auto& [column, want] : cases)
        EXPECT_EQ(columnLetters(column), want) << column;
}

} // namespace
} // namespace brevorn
