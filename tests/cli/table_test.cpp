// Rosters out to CSV and JSON and back: exact bytes, and every table the import refuses.
#include "roster_table.h"

#include "roster_writer.h"
#include "unit_fields.h"
#include "windows1252.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace brevorn {
namespace {

// A random roster the writer accepts: texts of every Windows-1252 character but the two
// line ends (a roster file cannot hold them in a value), with quotes, commas, semicolons
// and blanks often, at either end too; counts unset or in every form the writer reads.
class RandomRosters
{
public:
    explicit RandomRosters(unsigned seed)
        : m_random(seed)
    {
        for (int byte = 0; byte < 256; ++byte) {
            if (byte != '\r' && byte != '\n')
                m_characters.push_back(windows1252ToUtf8(std::string(1, static_cast<char>(byte))));
        }
    }

    // Fills slots 1 to UnitCount anew; what lies above is left, as the writer never looks there.
    void fill(Roster& roster, int maxUnits)
    {
        roster.UnitCount = pick(0, maxUnits);
        for (int slot = 1; slot <= roster.UnitCount; ++slot) {
            UnitRecord& unit = roster.UnitTable[static_cast<std::size_t>(slot)];
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
        static const char* likely[] = {"\"", ",", ";", " ", "\t", "\"\""};
        std::string text;
        for (int n = pick(0, 12); n > 0; --n)
            text += pick(0, 2) == 0 ? likely[pick(0, 5)] : m_characters[static_cast<std::size_t>(pick(0, 253))];
        return text;
    }

    std::string count()
    {
        static const char* forms[] = {"0", "3", "10", "07", " 5", "9 ", "10.0", "+4", "-0", "00"};
        return forms[pick(0, 9)];
    }

    std::mt19937 m_random;
    std::vector<std::string> m_characters;
};

std::string problems(const ImportedTable& table)
{
    std::string out;
    for (const TableProblem& problem : table.problems)
        out += problem.message + "\n";
    return out;
}

// The roster file bytes of the imported units with the given settings; the problems when there are any.
std::string importedBytes(const ImportedTable& table, const GameSettings& game, Roster& roster)
{
    if (!table.problems.empty())
        return problems(table);
    std::copy(table.units.begin(), table.units.end(), roster.UnitTable.begin() + 1);
    roster.UnitCount = static_cast<int>(table.units.size());
    return rosterFileBytes(roster, game).value();
}

TEST(TableRoundTrip, ExportThenImportGivesBackTheSameRosterBytes)
{
    RandomRosters random(20240611);
    const auto roster = std::make_unique<Roster>();
    const auto imported = std::make_unique<Roster>();
    for (int round = 0; round < 150; ++round) {
        random.fill(*roster, round == 0 ? MaxUnits : 10);
        const GameSettings game = random.game();
        const Expected<std::string> want = rosterFileBytes(*roster, game);
        ASSERT_TRUE(want.ok()) << want.error().message;

        // A CSV table carries the units only; the settings stay the roster's.
        const ImportedTable csv = importCsv(unitsAsCsv(*roster, round % 2 == 0));
        ASSERT_EQ(importedBytes(csv, game, *imported), want.value()) << "round " << round;

        const ImportedTable json = importJson(rosterAsJson(*roster, game));
        const GameSettings jsonGame{json.Day_Counter.value_or("?"), json.Theatre.value_or("?"),
                                    json.Season.value_or("?")};
        ASSERT_EQ(importedBytes(json, jsonGame, *imported), want.value()) << "round " << round;
    }
}

std::unique_ptr<Roster> twoUnits()
{
    auto roster = std::make_unique<Roster>();
    roster->UnitTable[1] = {"Kampfgruppe \"M\xC3\xBCller\", 2.",
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
    roster->UnitTable[2].unit_name = "Recon";
    roster->UnitTable[2].unit_ammo = "07";
    roster->UnitCount = 2;
    return roster;
}

TEST(TableExport, CsvAndJsonHoldEveryTextAsHeld)
{
    const std::string header = "unit_name,unit_type,unit_ammo,unit_fuel,unit_quality,unit_status,unit_orders,"
                               "unit_side,unit_losses,unit_SA,unit_HE,unit_AP,unit_AA,unit_armor_type,unit_smoke\r\n";
    const std::string rows = "\"Kampfgruppe \"\"M\xC3\xBCller\"\", 2.\",Panzerzug,3,,Elite,OK,Static Fire,\" Red\",,MG,"
                             "None,Light,None,Heavy,No\r\n"
                             "Recon,,07,,,,,,,,,,,,\r\n";
    EXPECT_EQ(unitsAsCsv(*twoUnits(), false), header + rows);
    EXPECT_EQ(unitsAsCsv(*twoUnits(), true), "\xEF\xBB\xBF" + header + rows);

    const std::string json = rosterAsJson(*twoUnits(), {"07", "Desert", ""});
    EXPECT_EQ(json.substr(0, 86), "{\n  \"game\": {\n    \"Day_Counter\": \"07\",\n    \"Theatre\": \"Desert\",\n"
                                  "    \"Season\": \"\"\n  },\n");
    EXPECT_NE(json.find("\"unit_name\": \"Kampfgruppe \\\"M\xC3\xBCller\\\", 2.\",\n"), std::string::npos) << json;
    EXPECT_NE(json.find("\"unit_ammo\": \"07\",\n      \"unit_fuel\": null,"), std::string::npos) << json;
}

TEST(TableImport, ColumnsInAnyOrderAndMissingOnesEmpty)
{
    const ImportedTable table = importCsv("unit_side,unit_ammo,unit_name\r\nRed,,Able\nBlue,4,Baker\n");
    EXPECT_EQ(problems(table), "");
    ASSERT_EQ(table.units.size(), 2u);
    UnitRecord able;
    able.unit_name = "Able";
    able.unit_side = "Red";
    EXPECT_EQ(table.units[0], able);
    EXPECT_EQ(table.units[1].unit_ammo, "4");
    EXPECT_EQ(table.units[1].unit_fuel, std::nullopt);

    const ImportedTable json = importJson(R"({"units": [{"unit_ammo": 3, "unit_fuel": null, "unit_losses": 2.0}],
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
        {"unit_name,unit_ammo\r\nA\r\nB,1,2\r\nC,\r\n",
         "row 2: 1 cell where the header has 2\nrow 3: 3 cells where the header has 2\n"},
        {"unit_side,unit_ammo,unit_losses\r\nRed,N/A,11\r\nBlue,,3.5\r\n",
         "row 2, unit_ammo (column B) \"N/A\": needs a whole number from 0 to 10\n"
         "row 2, unit_losses (column C) \"11\": needs a whole number from 0 to 10\n"
         "row 3, unit_losses (column C) \"3.5\": needs a whole number from 0 to 10\n"},
        {"unit_name\r\n\xE2\x82\xAC 5\r\n\xE2\x9C\x93\r\n", "row 3, unit_name (column A) \"\xE2\x9C\x93\": needs "
                                                            "characters Windows-1252 can hold (\"\xE2\x9C\x93\" is not "
                                                            "one)\n"},
        {"unit_name,unit_side\r\nKampfgruppe M\xFCller,Red\r\n",
         "row 2, unit_name (column A): byte 0xFC after \"Kampfgruppe M\" is not UTF-8; save the table as UTF-8\n"},
        {"unit_name,unit_side\r\n\"Two\r\nlines\",Red\r\n",
         "row 2, unit_name (column A): holds a line break, which would end the value in the roster file\n"},
        {"unit_name\r\n\"Able", "row 2, column A: the double quote that starts this cell is never closed\n"},
        {"unit_name,unit_ammo\r\n" + rowsOf(501, "Able,1\r\n") + "Baker,x\r\n",
         "row 502: the table has 502 units; a roster holds at most 500\n"
         "row 503, unit_ammo (column B) \"x\": needs a whole number from 0 to 10\n"},
    };
    for (const auto& [csv, want] : cases)
        EXPECT_EQ(problems(importCsv(csv)), want) << csv;
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
         "game.Season: holds a line break, which would end the value in the roster file\n"},
        {R"({"units": [{"unit_name": "A", "unit_name": "B"}, "Baker", {"unit_nmae": "C", "unit_side": 1,
             "unit_ammo": true, "unit_fuel": "N/A", "unit_losses": -1}]})",
         "units[0]: key \"unit_name\" is given more than once\n"
         "units[1]: needs an object of unit fields, not \"Baker\"\n"
         "units[2]: unknown key \"unit_nmae\"; the keys are unit_name to unit_smoke\n"
         "units[2].unit_ammo: needs a JSON string, a number or null, not true\n"
         "units[2].unit_fuel \"N/A\": needs a whole number from 0 to 10\n"
         "units[2].unit_side: needs a JSON string, not 1\n"
         "units[2].unit_losses \"-1\": needs a whole number from 0 to 10\n"},
        {"{\"units\": [" + rowsOf(500, "{},") + "{\"unit_ammo\": 12}]}",
         "units[500]: the table has 501 units; a roster holds at most 500\n"
         "units[500].unit_ammo \"12\": needs a whole number from 0 to 10\n"},
    };
    for (const auto& [json, want] : cases)
        EXPECT_EQ(problems(importJson(json)), want) << json;
}

} // namespace
} // namespace brevorn
