// Tables in each encoding a byte-order mark names, with characters across the chunks the text is read in.
#include "roster_table.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brevorn {
namespace {

ImportedTable importText(const std::string& text)
{
    std::istringstream in(text);
    return importCsv(in);
}

std::string problems(const ImportedTable& table)
{
    std::string out;
    for (const TableProblem& problem : table.problems.shown())
        out += problem.message + "\n";
    return out;
}

// UTF-16 code units in the given order of bytes.
std::string utf16(std::u16string_view text, bool littleEndian)
{
    std::string bytes;
    for (char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += littleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

TEST(SpreadsheetTables, ByteOrderMarksTheirEncodingsAndTheirFaults)
{
    // Long texts put a character across the end of a chunk the file is read in (64 KiB).
    const std::string longName(70000, 'x');
    const std::u16string across(32754, u'x');
    const std::string notWindows1252 = ": needs characters Windows-1252 can hold (\"\xF0\x9F\x9A\x82\" is not one)\n";
    const std::string rest = "unit_name\r\n" + longName + "\r\n";
    const std::tuple<std::string, std::string, std::string> cases[] = {
        // the text; its problems; when there are none, the first unit's name and the note
        {"\xFE\xFF" + utf16(u"unit_name\r\nM\u00FCller\r\n", false), "", "M\xC3\xBCller"},
        {"\xFF\xFE" + utf16(u"unit_name\r\n" + across + u"\r\n\U0001F682\r\n", true),
         "row 3, unit_name (column A) \"\xF0\x9F\x9A\x82\"" + notWindows1252, ""},
        {"\xFF\xFE" + utf16(u"unit_name\r\nAble\r\n", true) + "B",
         "row 3: the text ends in half a UTF-16 character; save it again as Unicode Text\n", ""},
        {"\xFE\xFF" + utf16(u"unit_name\r\nAb\xDC00"
                            u"le\r\n",
                            false),
         "row 2: the UTF-16 character 0xDC00 lacks its first half; save it again as Unicode Text\n", ""},
        {"\xFF\xFE" + utf16(u"unit_name\r\nAb\xD83D", true),
         "row 2: the text ends in half a UTF-16 character; save it again as Unicode Text\n", ""},
        {"unit_name\r\n" + std::string(65536 - 12, 'x') + "\xC3\xA9\r\n", "",
         std::string(65536 - 12, 'x') + "\xC3\xA9"},
        {rest + "M\xFCller\r\n", "",
         longName + "|read as Windows-1252, as its bytes are not UTF-8 (row 3: byte "
                    "0xFC after \"M\" is not UTF-8)"},
    };
    for (const auto& [text, want, first] : cases) {
        const ImportedTable table = importText(text);
        EXPECT_EQ(problems(table), want) << text.substr(0, 40);
        if (!want.empty())
            continue;
        ASSERT_FALSE(table.units.empty()) << text.substr(0, 40);
        const std::string name = table.units.front().unit_name;
        EXPECT_EQ(table.encodingNote.empty() ? name : name + "|" + table.encodingNote, first) << text.substr(0, 40);
    }
}

} // namespace
} // namespace brevorn
