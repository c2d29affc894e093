// Rosters out to CSV and JSON and back give the same roster file bytes.
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

// A random roster the writer accepts and the import takes: texts of Windows-1252 characters
// (but no comma, line end or NUL, which the game reads back otherwise) with quotes,
// semicolons, blanks, tabs and formula-like starts often, at either end too; counts unset or
// in every form the writer reads.
class RandomRosters
{
public:
    explicit RandomRosters(unsigned seed)
        : m_random(seed)
    {
        for (int byte = 0; byte < 256; ++byte) {
            if (byte != '\r' && byte != '\n' && byte != ',' && byte != '\0')
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
        static const char* likely[] = {"\"", ";", " ", "\t", "\"\"", "=", "@", "-("};
        for (;;) {
            std::string text;
            for (int n = pick(0, 12); n > 0; --n)
                text += pick(0, 2) == 0 ? likely[pick(0, 7)]
                                        : m_characters[static_cast<std::size_t>(pick(0, int(m_characters.size()) - 1))];
            if (!textBeforeUtf8ReadAsWindows1252(text))
                return text;
        }
    }

    std::string count()
    {
        static const char* forms[] = {"0", "3", "10", "07", " 5", "9 ", "10.0", "+4", "-0", "00"};
        return forms[pick(0, 9)];
    }

    std::mt19937 m_random;
    std::vector<std::string> m_characters;
};

// The roster file bytes of the imported units with the given settings; the problems when there are any.
std::string importedBytes(const ImportedTable& table, const GameSettings& game, Roster& roster)
{
    std::string problems;
    for (const TableProblem& problem : table.problems.shown())
        problems += problem.message + "\n";
    if (!problems.empty())
        return problems;
    EXPECT_TRUE(roster.replaceUnits(table.units));
    return rosterFileBytes(roster, game).value();
}

TEST(TableRoundTrip, ExportThenImportGivesBackTheSameRosterBytesWhenNoTextReadsBackDifferently)
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
        std::istringstream csv(unitsAsCsv(*roster, round % 2 == 0, ",;\t"[round % 3]));
        ASSERT_EQ(importedBytes(importCsv(csv), game, *imported), want.value()) << "round " << round;

        std::istringstream jsonText(rosterAsJson(*roster, game));
        const ImportedTable json = importJson(jsonText);
        const GameSettings jsonGame{json.Day_Counter.value_or("?"), json.Theatre.value_or("?"),
                                    json.Season.value_or("?")};
        ASSERT_EQ(importedBytes(json, jsonGame, *imported), want.value()) << "round " << round;
    }
}

} // namespace
} // namespace brevorn
