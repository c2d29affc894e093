// Tables as spreadsheets save them: each separator and encoding, and what is refused in each.
#include "roster_table.h"
#include "roster_test_support.h"
#include "unit_fields.h"

#include <fstream>
#include <sstream>

namespace brevorn {
namespace {

// The three units that every table-*.csv in the test data holds, as Excel or LibreOffice saved them.
std::vector<UnitRecord> unitsOfTheSpreadsheetFiles()
{
    return {
        {"Kampfgruppe M\xC3\xBCller", "Panzer IV", "3", std::nullopt, "Veteran", "OK", "Static Fire", "Red", "0", "MG",
         "Medium", "Medium", "None", "Medium", "Yes"},
        {"Compagnie \"D\xC3\xA9sert\"", "Char B1", "07", "5", "Elite", "Disordered", "Move; then hold", "Blue",
         std::nullopt, "MG", "Heavy", "Heavy", "None", "Heavy", "No"},
        {"\xC5\x92uvre \xE2\x80\x93 2e", "Recon \xE2\x82\xAC", "10", "10", "Green", "OK", "Maneuver", "Blue", "2",
         "Rifle", "None", "Light", "None", "None", "No"},
    };
}

ImportedTable importFile(const std::string& name)
{
    std::ifstream in(dataFile(name), std::ios::binary);
    return importCsv(in);
}

ImportedTable importText(const std::string& text)
{
    std::istringstream in(text);
    return importCsv(in);
}

// The units' texts, one line per unit, fields apart by |, an unset count as -.
std::string described(const std::vector<UnitRecord>& units)
{
    std::string out;
    for (const UnitRecord& unit : units) {
        for (const UnitField& field : unitFields) {
            const bool unset = field.kind == FieldKind::Count && !(unit.*field.count);
            out += (unset ? "-" : std::string(fieldText(unit, field))) + "|";
        }
        out += "\n";
    }
    return out;
}

std::string problems(const ImportedTable& table)
{
    std::string out;
    for (const TableProblem& problem : table.problems.shown())
        out += problem.message + "\n";
    return out;
}

TEST(SpreadsheetTables, EachSeparatorAndEncodingGivesTheSameUnits)
{
    const std::string readAs1252 =
        "read as Windows-1252, as its bytes are not UTF-8 (row 2: byte 0xFC after \"Kampfgruppe M\" is not UTF-8)";
    const std::pair<std::string, std::string> files[] = {
        {"table-excel-comma-1252.csv", readAs1252},     // Excel's "CSV (Comma delimited)"
        {"table-excel-semicolon-1252.csv", readAs1252}, // the same where ; separates lists
        {"table-excel-utf8-bom.csv", ""},               // Excel's "CSV UTF-8 (Comma delimited)"
        {"table-excel-semicolon-utf8-bom.csv", ""},     // the same where ; separates lists
        {"table-excel-unicode-text-utf16le.txt", ""},   // Excel's "Unicode Text"
        {"table-libreoffice-utf8.csv", ""},             // LibreOffice's "Text CSV" on Linux
    };
    for (const auto& [file, note] : files) {
        const ImportedTable table = importFile(file);
        EXPECT_EQ(problems(table), "") << file;
        EXPECT_EQ(table.warnings.count(), 0u) << file;
        EXPECT_EQ(table.encodingNote, note) << file;
        EXPECT_EQ(described(table.units), described(unitsOfTheSpreadsheetFiles())) << file;
    }
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
        {"\xEF\xBB\xBFunit_name\r\nM\xFCller\r\n",
         "row 2: byte 0xFC after \"M\" is not UTF-8, though the table starts with UTF-8's byte-order mark; save it "
         "again as CSV UTF-8\n",
         ""},
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
