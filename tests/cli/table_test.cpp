// Rosters out to CSV and JSON and back: exact bytes, and every table the import refuses or warns about.
#include "roster_table.h"

#include "roster_writer.h"
#include "unit_fields.h"
#include "utf8_lookalike.h"
#include "windows1252.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>

namespace brevorn {
namespace {

// A random roster the writer accepts: texts of Windows-1252 characters with quotes,
// semicolons, blanks, tabs and formula-like starts often, at either end too; counts unset or
// in every form the writer reads. With readBackDifferently, the texts also hold commas, line
// ends and NUL characters, which the roster file holds as they are but the game reads back
// otherwise; without it, none of those, and no text that looks like UTF-8 read as
// Windows-1252 either (the import refuses both).
class RandomRosters
{
public:
    RandomRosters(unsigned seed, bool readBackDifferently)
        : m_random(seed)
        , m_readBackDifferently(readBackDifferently)
    {
        for (int byte = 0; byte < 256; ++byte) {
            if (readBackDifferently || (byte != '\r' && byte != '\n' && byte != ',' && byte != '\0'))
                m_characters.push_back(windows1252ToUtf8(std::string(1, static_cast<char>(byte))));
        }
    }

    // Fills slots 1 to UnitCount anew; what lies above is left, as the writer never looks there.
    void fill(Roster& roster, int maxUnits)
    {
        roster.UnitCount = pick(0, maxUnits);
        for (UnitRecord& unit : roster.units()) {
            unit = {};
            for (const UnitField& field : unitFields) {
                if (field.kind == FieldKind::Text)
                    setFieldText(unit, field, text());
                else if (pick(0, 3) > 0)
                    setFieldText(unit, field, count());
            }
        }
    }

    GameSettings game()
    {
        static const char* days[] = {"0", "7", "07", " 12 ", "37", "+3"};
        return {days[pick(0, 5)], text(), text()};
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    std::string text()
    {
        static const char* likely[] = {"\"", ";", " ", "\t", "\"\"", "=", "@", "-(", ",", "\r\n"};
        const int likelyCount = m_readBackDifferently ? 10 : 8;
        for (;;) {
            std::string text;
            for (int n = pick(0, 12); n > 0; --n)
                text += pick(0, 2) == 0 ? likely[pick(0, likelyCount - 1)]
                                        : m_characters[static_cast<std::size_t>(pick(0, int(m_characters.size()) - 1))];
            if (m_readBackDifferently || !textBeforeUtf8ReadAsWindows1252(text))
                return text;
        }
    }

    std::string count()
    {
        static const char* forms[] = {"0", "3", "10", "07", " 5", "9 ", "10.0", "+4", "-0", "00"};
        return forms[pick(0, 9)];
    }

    std::mt19937 m_random;
    bool m_readBackDifferently;
    std::vector<std::string> m_characters;
};

std::string problems(const ImportedTable& table)
{
    std::string out;
    for (const TableProblem& problem : table.problems.shown())
        out += problem.message + "\n";
    if (table.problems.count() > table.problems.shown().size())
        out += "and " + std::to_string(table.problems.count() - table.problems.shown().size()) + " more\n";
    return out;
}

std::string warnings(const ImportedTable& table)
{
    std::string out;
    for (const TableProblem& warning : table.warnings.shown())
        out += warning.message + "\n";
    return out;
}

ImportedTable csvTable(const std::string& text)
{
    std::istringstream in(text);
    return importCsv(in);
}

ImportedTable jsonTable(const std::string& text)
{
    std::istringstream in(text);
    return importJson(in);
}

// The roster file bytes of the imported units with the given settings; the problems when there are any.
std::string importedBytes(const ImportedTable& table, const GameSettings& game, Roster& roster)
{
    if (!table.problems.empty())
        return problems(table);
    EXPECT_TRUE(roster.replaceUnits(table.units));
    return rosterFileBytes(roster, game).value();
}

TEST(TableRoundTrip, ExportThenImportGivesBackTheSameRosterBytesWhenNoTextReadsBackDifferently)
{
    RandomRosters random(20240611, false);
    const auto roster = std::make_unique<Roster>();
    const auto imported = std::make_unique<Roster>();
    for (int round = 0; round < 150; ++round) {
        random.fill(*roster, round == 0 ? MaxUnits : 10);
        const GameSettings game = random.game();
        const Expected<std::string> want = rosterFileBytes(*roster, game);
        ASSERT_TRUE(want.ok()) << want.error().message;

        // A CSV table carries the units only; the settings stay the roster's.
        const char separator = ",;\t"[round % 3];
        const ImportedTable csv = csvTable(unitsAsCsv(*roster, round % 2 == 0, separator));
        ASSERT_EQ(importedBytes(csv, game, *imported), want.value()) << "round " << round;

        const ImportedTable json = jsonTable(rosterAsJson(*roster, game));
        const GameSettings jsonGame{json.Day_Counter.value_or("?"), json.Theatre.value_or("?"),
                                    json.Season.value_or("?")};
        ASSERT_EQ(importedBytes(json, jsonGame, *imported), want.value()) << "round " << round;
    }
}

// Where each text of the roster that the import must refuse stands in its CSV table: "row,column".
std::vector<std::string> refusedPlaces(const Roster& roster)
{
    std::vector<std::string> places;
    for (std::size_t row = 2; const UnitRecord& unit : roster.units()) {
        for (std::size_t column = 1; column <= unitFields.size(); ++column) {
            const std::string_view text = fieldText(unit, unitFields[column - 1]);
            if (text.find_first_of(std::string_view(",\r\n\0", 4)) != std::string_view::npos ||
                textBeforeUtf8ReadAsWindows1252(text))
                places.push_back(std::to_string(row) + "," + std::to_string(column));
        }
        ++row;
    }
    return places;
}

TEST(TableRoundTrip, ExportThenImportRefusesExactlyTheTextsTheGameWouldReadBackDifferently)
{
    RandomRosters random(20240612, true);
    const auto roster = std::make_unique<Roster>();
    int refusedRosters = 0;
    for (int round = 0; round < 150; ++round) {
        random.fill(*roster, 6); // at most 90 texts: every problem is shown
        const std::vector<std::string> want = refusedPlaces(*roster);
        refusedRosters += !want.empty();
        const ImportedTable csv = csvTable(unitsAsCsv(*roster, false, ",;\t"[round % 3]));
        std::vector<std::string> got;
        for (const TableProblem& problem : csv.problems.shown())
            got.push_back(std::to_string(problem.row) + "," + std::to_string(problem.column));
        ASSERT_EQ(got, want) << "round " << round << "\n" << problems(csv);
    }
    EXPECT_GT(refusedRosters, 100) << "the rosters should mostly hold such texts";
}

std::unique_ptr<Roster> twoUnits()
{
    auto roster = std::make_unique<Roster>();
    roster->UnitCount = 2;
    roster->units()[0] = {"Kampfgruppe \"M\xC3\xBCller\", 2.",
                          "Panzerzug",
                          "3",
                          std::nullopt,
                          "Elite",
                          "OK",
                          "Static Fire",
                          " Red",
                          std::nullopt,
                          "MG",
                          "None",
                          "Light",
                          "None",
                          "Heavy",
                          "No"};
    roster->units()[1].unit_name = "Recon";
    roster->units()[1].unit_ammo = "07";
    return roster;
}

TEST(TableExport, CsvAndJsonHoldEveryTextAsHeld)
{
    const std::string header = "unit_name,unit_type,unit_ammo,unit_fuel,unit_quality,unit_status,unit_orders,"
                               "unit_side,unit_losses,unit_SA,unit_HE,unit_AP,unit_AA,unit_armor_type,unit_smoke\r\n";
    const std::string rows = "\"Kampfgruppe \"\"M\xC3\xBCller\"\", 2.\",Panzerzug,3,,Elite,OK,Static Fire,\" Red\",,MG,"
                             "None,Light,None,Heavy,No\r\n"
                             "Recon,,07,,,,,,,,,,,,\r\n";
    EXPECT_EQ(unitsAsCsv(*twoUnits(), false, ','), header + rows);
    EXPECT_EQ(unitsAsCsv(*twoUnits(), true, ','), "\xEF\xBB\xBF" + header + rows);

    const std::string json = rosterAsJson(*twoUnits(), {"07", "Desert", ""});
    EXPECT_EQ(json.substr(0, 86), "{\n  \"game\": {\n    \"Day_Counter\": \"07\",\n    \"Theatre\": \"Desert\",\n"
                                  "    \"Season\": \"\"\n  },\n");
    EXPECT_NE(json.find("\"unit_name\": \"Kampfgruppe \\\"M\xC3\xBCller\\\", 2.\",\n"), std::string::npos) << json;
    EXPECT_NE(json.find("\"unit_ammo\": \"07\",\n      \"unit_fuel\": null,"), std::string::npos) << json;
}

TEST(TableImport, ColumnsInAnyOrderAndMissingOnesEmpty)
{
    const ImportedTable table = csvTable("unit_side,unit_ammo,unit_name\r\nRed,,Able\nBlue,4,Baker\n");
    EXPECT_EQ(problems(table), "");
    ASSERT_EQ(table.units.size(), 2u);
    UnitRecord able;
    able.unit_name = "Able";
    able.unit_side = "Red";
    EXPECT_EQ(table.units[0], able);
    EXPECT_EQ(table.units[1].unit_ammo, "4");
    EXPECT_EQ(table.units[1].unit_fuel, std::nullopt);

    const ImportedTable json = jsonTable(R"({"units": [{"unit_ammo": 3, "unit_fuel": null, "unit_losses": 2.0}],
                                              "game": {"Day_Counter": 9}})");
    EXPECT_EQ(problems(json), "");
    ASSERT_EQ(json.units.size(), 1u);
    EXPECT_EQ(json.units[0].unit_ammo, "3");
    EXPECT_EQ(json.units[0].unit_fuel, std::nullopt);
    EXPECT_EQ(json.units[0].unit_losses, "2.0");
    EXPECT_EQ(json.Day_Counter, "9");
    EXPECT_EQ(json.Theatre, std::nullopt);
}

std::string rowsOf(int count, const std::string& row)
{
    std::string rows;
    for (int i = 0; i < count; ++i)
        rows += row;
    return rows;
}

TEST(TableImport, EveryCsvProblemIsListedWithItsRowAndColumn)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "the table is empty; it needs a header row of unit keys, such as unit_name\n"},
        {"unit_name,unit_nmae,Unit_side,unit_name\r\nA,b,c,d\r\n",
         "row 1, column B: unknown column \"unit_nmae\"; the columns are the unit keys, unit_name to unit_smoke\n"
         "row 1, column C: unknown column \"Unit_side\"; the columns are the unit keys, unit_name to unit_smoke\n"
         "row 1, column D: column \"unit_name\" repeats column A\n"},
        // A row of the wrong length says only that: its cells may stand in the wrong columns.
        {"unit_name,unit_ammo\r\nA\r\nB,1,2\r\nC,\r\nD,x,\r\n",
         "row 2: 1 cell where the header has 2\nrow 3: 3 cells where the header has 2\n"
         "row 5: 3 cells where the header has 2\n"},
        {"unit_side;unit_ammo;unit_losses\r\nRed;N/A;11\r\nBlue;;3.5\r\n",
         "row 2, unit_ammo (column B) \"N/A\": needs a whole number from 0 to 10\n"
         "row 2, unit_losses (column C) \"11\": needs a whole number from 0 to 10\n"
         "row 3, unit_losses (column C) \"3.5\": needs a whole number from 0 to 10\n"},
        {"unit_name\r\n\xE2\x82\xAC 5\r\n\xE2\x9C\x93\r\n", "row 3, unit_name (column A) \"\xE2\x9C\x93\": needs "
                                                            "characters Windows-1252 can hold (\"\xE2\x9C\x93\" is not "
                                                            "one)\n"},
        // What the game would read back as something else.
        {"unit_name\tunit_side\tunit_orders\r\nSmith, J.\t\"Two\r\nlines\"\tHold\r\n\"Red\rBlue\"\tx\t\"" +
             std::string("N\0L", 3) + "\"\r\n",
         "row 2, unit_name (column A) \"Smith, J.\": a comma ends the value when the game reads the file\n"
         "row 2, unit_side (column B) \"Two\\r\\nlines\": a line break ends the value when the game reads the file\n"
         "row 3, unit_name (column A) \"Red\\rBlue\": a line break ends the value when the game reads the file\n"
         "row 3, unit_orders (column C) \"N\\0L\": a NUL character is no text; the game would not read it back\n"},
        {"unit_name,unit_type\r\nKampfgruppe M\xC3\x83\xC2\xBC"
         "ller,\xC3\xA2\xE2\x80\x9A\xC2\xAC 5\r\n",
         "row 2, unit_name (column A) \"Kampfgruppe M\xC3\x83\xC2\xBCller\": looks like UTF-8 read as Windows-1252, "
         "and "
         "likely was \"Kampfgruppe M\xC3\xBCller\"; open the table with the character set Unicode (UTF-8), or export "
         "it with --bom, and save it again\n"
         "row 2, unit_type (column B) \"\xC3\xA2\xE2\x80\x9A\xC2\xAC 5\": looks like UTF-8 read as Windows-1252, and "
         "likely was \"\xE2\x82\xAC 5\"; open the table with the character set Unicode (UTF-8), or export it with "
         "--bom, and save it again\n"},
        {"unit_name\r\n\"\x1B[31m" + std::string(70, 'x') + ",\"\r\n",
         "row 2, unit_name (column A) \"\\x1B[31m" + std::string(55, 'x') +
             "...\": a comma ends the value when the game reads the file\n"},
        {"unit_name\r\n\"Able", "row 2, column A: the double quote that starts this cell is never closed\n"},
    };
    for (const auto& [csv, want] : cases)
        EXPECT_EQ(problems(csvTable(csv)), want) << csv;
}

TEST(TableImport, EveryJsonProblemIsListedWithItsUnitIndexAndKey)
{
    const std::pair<std::string, std::string> cases[] = {
        {"{\"units\": [}", "not JSON: parse error at line 1, column 12: syntax error while parsing value - unexpected "
                           "'}'; expected '[', '{', or a literal\n"},
        {"{\"units\": [{\"unit_name\": \"M\xFCller\"}]}",
         "not JSON: parse error at line 1, column 28: syntax error while parsing value - invalid string: ill-formed "
         "UTF-8 byte; last read: '\"M\xFC'\n"},
        {"[]", "needs a JSON object with \"units\" (and, if wanted, \"game\"), not an array\n"},
        {"{\"game\": {}}", "no \"units\": the table needs an array of units\n"},
        {"{\"units\": {}, \"extra\": 1}",
         "units: needs an array of units, not an object\nunknown key \"extra\"; a table has \"game\" and \"units\"\n"},
        {R"({"game": {"Day_Counter": null, "Theatre": 5, "Weather": "Rain", "Season": "Wet\nDry"}, "units": []})",
         "game.Day_Counter: needs a JSON string or a number, not null\n"
         "game.Theatre: needs a JSON string, not 5\n"
         "game: unknown key \"Weather\"; the settings are Day_Counter, Theatre and Season\n"
         "game.Season \"Wet\\nDry\": a line break ends the value when the game reads the file\n"},
        {R"({"game": {"Theatre": "Desert, North"}, "units": [{"unit_name": "Smith, J.", "unit_side": "R\u0000d"}]})",
         "game.Theatre \"Desert, North\": a comma ends the value when the game reads the file\n"
         "units[0].unit_name \"Smith, J.\": a comma ends the value when the game reads the file\n"
         "units[0].unit_side \"R\\0d\": a NUL character is no text; the game would not read it back\n"},
        {R"({"units": [{"unit_name": "A", "unit_name": "B"}, "Baker", {"unit_nmae": "C", "unit_side": 1,
             "unit_ammo": true, "unit_fuel": "N/A", "unit_losses": -1}]})",
         "units[0]: key \"unit_name\" is given more than once\n"
         "units[1]: needs an object of unit fields, not \"Baker\"\n"
         "units[2]: unknown key \"unit_nmae\"; the keys are unit_name to unit_smoke\n"
         "units[2].unit_ammo: needs a JSON string, a number or null, not true\n"
         "units[2].unit_fuel \"N/A\": needs a whole number from 0 to 10\n"
         "units[2].unit_side: needs a JSON string, not 1\n"
         "units[2].unit_losses \"-1\": needs a whole number from 0 to 10\n"},
    };
    for (const auto& [json, want] : cases)
        EXPECT_EQ(problems(jsonTable(json)), want) << json;
}

TEST(TableImport, TextsThatStartAsFormulasAreTakenWithAWarning)
{
    const ImportedTable csv = csvTable("unit_name,unit_type,unit_ammo,unit_side,unit_orders,unit_SA\r\n"
                                       "=1+1,+A1,,@SUM(A1),-(2),-5\r\n=,+3,,a=b,@ x,- 1\r\n");
    EXPECT_EQ(problems(csv), "");
    EXPECT_EQ(csv.units.at(0).unit_name, "=1+1");
    const std::string formula = "starts as a spreadsheet formula does; a spreadsheet that opens the table will "
                                "calculate it unless the column's type is Text\n";
    EXPECT_EQ(warnings(csv), "row 2, unit_name (column A) \"=1+1\": " + formula +
                                 "row 2, unit_type (column B) \"+A1\": " + formula +
                                 "row 2, unit_side (column D) \"@SUM(A1)\": " + formula +
                                 "row 2, unit_orders (column E) \"-(2)\": " + formula);

    const ImportedTable json = jsonTable(R"({"game": {"Season": "=Winter"}, "units": [{"unit_AA": "-AA"}]})");
    EXPECT_EQ(problems(json), "");
    EXPECT_EQ(warnings(json), "game.Season \"=Winter\": " + formula + "units[0].unit_AA \"-AA\": " + formula);
}

TEST(TableImport, ARowPastTheFiveHundredthStopsTheReadingAsTheOneProblem)
{
    // The problems before it are moot, and whatever follows it is not read.
    const std::string csv =
        "unit_name,unit_ammo,unit_colour\r\n=A1,x\r\n" + rowsOf(499, "Able,1,\r\n") + "Baker,2,\r\n\"never closed";
    const std::string tooMany = "the table has more than 500 units; a roster holds at most 500\n";
    const ImportedTable table = csvTable(csv);
    EXPECT_EQ(problems(table), "row 502: " + tooMany);
    EXPECT_EQ(table.units.size(), 0u);
    EXPECT_EQ(table.warnings.count(), 0u);
    EXPECT_EQ(problems(csvTable("unit_name\r\n" + rowsOf(500, "Able\r\n") + "\r\n\r\n")), "");
    EXPECT_EQ(problems(csvTable("unit_name\r\n" + rowsOf(500, "Able\r\n") + "\r\n\r\nBaker\r\n")),
              "row 502: " + tooMany);

    const ImportedTable json =
        jsonTable("{\"game\": {\"Theatre\": 1}, \"units\": [" + rowsOf(500, "{},") + "{\"unit_ammo\": 12}, ]}");
    EXPECT_EQ(problems(json), "units[500]: " + tooMany);
    EXPECT_EQ(json.units.size(), 0u);
}

TEST(TableImport, TheFirstHundredProblemsInTableOrderAreKeptAndTheRestCounted)
{
    const ImportedTable csv = csvTable("unit_name,unit_ammo\r\n" + rowsOf(300, "Able,x\r\n"));
    ASSERT_EQ(csv.problems.shown().size(), ShownProblemLimit);
    EXPECT_EQ(csv.problems.count(), 300u);
    EXPECT_EQ(csv.problems.shown().back().message,
              "row 101, unit_ammo (column B) \"x\": needs a whole number from 0 to 10");

    // The settings' problems come first in the table's order, though they are found last.
    const ImportedTable json =
        jsonTable("{\"units\": [" + rowsOf(149, "{\"unit_fuel\": 11},") + "{}], \"game\": {\"Season\": 1}}");
    ASSERT_EQ(json.problems.shown().size(), ShownProblemLimit);
    EXPECT_EQ(json.problems.count(), 150u);
    EXPECT_EQ(json.problems.shown().front().message, "game.Season: needs a JSON string, not 1");
    EXPECT_EQ(json.problems.shown().back().message, "units[98].unit_fuel \"11\": needs a whole number from 0 to 10");
}

} // namespace
} // namespace brevorn
