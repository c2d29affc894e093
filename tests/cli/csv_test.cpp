// RFC 4180 as the import reads it and the export writes it.
#include "csv.h"

#include <gtest/gtest.h>

namespace brevorn {
namespace {

// Rows as [cell|cell], then each problem as "row,column: message".
std::string dump(const CsvTable& table)
{
    std::string out;
    for (const auto& row : table.rows) {
        out += '[';
        for (std::size_t i = 0; i < row.size(); ++i)
            out += (i ? "|" : "") + row[i];
        out += ']';
    }
    for (const CsvProblem& problem : table.problems)
        out += " " + std::to_string(problem.row) + "," + std::to_string(problem.column) + ": " + problem.message;
    return out;
}

TEST(CsvReading, CornerCases)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a,b\r\nc,d\r\n", "[a|b][c|d]"},
        {"a,b\nc,d", "[a|b][c|d]"},
        {"a,b\rc,d\r", "[a|b][c|d]"},
        {"a,b\r\nc,d\ne,f\r", "[a|b][c|d][e|f]"},
        {"\xEF\xBB\xBF"
         "a,b\r\n",
         "[a|b]"},
        {"a,\xEF\xBB\xBF"
         "b\r\n",
         "[a|\xEF\xBB\xBF"
         "b]"},
        {"\"x,y\",\"said \"\"hi\"\"\"\r\n", "[x,y|said \"hi\"]"},
        {"\"one\r\ntwo\",b\n\"three\nfour\"\n", "[one\r\ntwo|b][three\nfour]"},
        {"\"\",\"\"\"\"\r\n", "[|\"]"},
        {" a , b \t\r\n", "[ a | b \t]"},
        {",\r\n,,\r\n", "[|][||]"},
        {"a\r\n\r\n\n\r\n", "[a]"},
        {"a\r\n\r\nb\r\n", "[a][][b]"},
        {"", ""},
        {"a;b\r\n", "[a;b]"},
        {"a,5\" gun\r\nb\r\n",
         "[a|5\" gun][b] 1,2: a double quote inside a cell that does not start with one; quote the "
         "cell and double the quote"},
        {"a,\"b\r\nc,d\r\n", "[a|b\r\nc,d\r\n] 1,2: the double quote that starts this cell is never closed"},
        {"\"a\"b,c\r\n\"d\" ,e\r\n",
         "[ab|c][d |e] 1,1: text after the double quote that closes the cell 2,1: text after "
         "the double quote that closes the cell"},
    };
    for (const auto& [bytes, want] : cases)
        EXPECT_EQ(dump(readCsv(bytes)), want) << bytes;
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
    for (const auto& [cell, want] : cases) {
        std::string line;
        const std::string_view cells[] = {cell, "x"};
        appendCsvRow(line, cells);
        EXPECT_EQ(line, want + ",x\r\n") << cell;
        EXPECT_EQ(dump(readCsv(line)), "[" + cell + "|x]") << cell;
    }
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
