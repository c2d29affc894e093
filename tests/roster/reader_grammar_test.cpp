// How the reader splits a roster file into items and what each item does to the roster.
#include "roster/item_scanner.h"
#include "roster/roster_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <tuple>
#include <vector>

namespace brevorn {
namespace {

struct Read
{
    std::unique_ptr<Roster> roster = std::make_unique<Roster>();
    RosterReadResult result;
    std::vector<std::pair<std::int64_t, std::string>> findings;
};

// Reads bytes into a roster whose slot 1 already holds a unit, as after "New Unit".
Read readBytes(const std::string& bytes)
{
    Read read;
    read.roster->UnitTable[1].unit_name = "old";
    read.roster->UnitTable[1].unit_side = "old side";
    read.roster->UnitCount = 7;
    std::istringstream in(bytes);
    auto result = readRoster(in, "test.txt", *read.roster, [&](const ReaderFinding& finding) {
        read.findings.emplace_back(finding.line, finding.message);
    });
    EXPECT_TRUE(result.ok()) << bytes;
    if (result.ok())
        read.result = result.value();
    return read;
}

TEST(ReaderGrammar, ExampleFileGivesItsUnitAndGameTexts)
{
    auto roster = std::make_unique<Roster>();
    auto read = ReadRosterFile(BREVORN_TEST_DATA_DIR "/example.txt", *roster);
    ASSERT_TRUE(read.ok()) << read.error().message;
    UnitRecord want{"1st Platoon", "Medium Tank", "2",      "1",      "Veteran", "OK",     "Maneuver", "Blue",
                    "0",           "MG",          "Medium", "Medium", "None",    "Medium", "Yes"};
    EXPECT_EQ(roster->UnitTable[1], want);
    EXPECT_EQ(roster->UnitCount, 1);
    EXPECT_EQ(read.value().nextSlot, 2);
    EXPECT_EQ(read.value().Day_Counter, "12");
    EXPECT_EQ(read.value().Theatre, "Desert");
    EXPECT_EQ(read.value().Season, "Summer");
}

TEST(ReaderGrammar, ItemsOfAUnitBlock)
{
    struct Case
    {
        const char* lines; // between "UNITS:" and the unit_used line
        const char* name;
        const char* side;
    };
    const Case cases[] = {
        {"unit_name=Bob\r\n", "Bob", "old side"},
        {"unit_name=Smith, J.\r\n", "Smith", "old side"},
        {"unit_name=A,unit_side=B\r\n", "A", "B"},
        {"\"unit_name=Smith, J.\"\r\n", "Smith, J.", "old side"},
        {"  \"unit_name=a\r\nb\"\r\n", "a\r\nb", "old side"},
        {"\"unit_name=A\" dropped,unit_side=B\r\n", "A", "B"},
        {"unit_name=6\" gun\r\n", "6\" gun", "old side"},
        {" \t unit_name=A \t\r\n", "A \t", "old side"},
        {"unit_name=a=b\r\nunit_side=\r\n", "a=b", ""},
        {"unit_name =A\r\nUnit_name=B\r\n=unit_name=C\r\nunit_name\r\n", "old", "old side"},
        {"unit_name=A\r\nunit_name=B\r\n", "B", "old side"},
        {"unit_side=S\nunit_name=A\n", "A", "S"},
        {"unit_name=A\runit_side=S\r", "A", "S"},
        {"\r\n\n\r\r\n,,unit_name=A\r\n\r\n", "A", "old side"},
        {"unit_name=Caf\xE9 \x80 \x81\r\n", "Caf\xC3\xA9 \xE2\x82\xAC \xC2\x81", "old side"},
        {"Season=Winter\r\nunit_name=A\r\n", "A", "old side"},
    };
    for (const Case& c : cases) {
        Read read = readBytes(std::string("UNITS:\r\n") + c.lines + "unit_used=no\r\n");
        EXPECT_EQ(read.roster->UnitTable[1].unit_name, c.name) << c.lines;
        EXPECT_EQ(read.roster->UnitTable[1].unit_side, c.side) << c.lines;
        EXPECT_EQ(read.roster->UnitCount, 1) << c.lines;
        EXPECT_EQ(read.result.Season, std::nullopt) << c.lines;
    }
}

TEST(ReaderGrammar, SectionLinesAndGameKeys)
{
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"GAME:\r\nDay_Counter=5", "5"},
        {"  GAME:\r\nDay_Counter=5\r\n", "5"},
        {"\"GAME:\"\r\nDay_Counter=5\r\n", "5"},
        {"GAME:,Day_Counter=5\r\n", "5"},
        {"game:\r\nDay_Counter=5\r\n", std::nullopt},
        {"GAME: \r\nDay_Counter=5\r\n", std::nullopt},
        {"Day_Counter=5\r\nGAME:\r\n", std::nullopt},
        {"UNITS:\r\nDay_Counter=5\r\n", std::nullopt},
        {"GAME:\r\nDay_Counter=5\r\nUNITS:\r\nDay_Counter=6\r\nGAME:\r\nDay_Counter=07\r\n", "07"},
        {"GAME:\r\nDay_Counter=\r\n", ""},
    };
    for (const auto& [bytes, day] : cases)
        EXPECT_EQ(readBytes(bytes).result.Day_Counter, day) << bytes;

    Read read = readBytes("UNITS:\r\nunit_name=A\r\nGAME:\r\nunit_used=no\r\nUNITS:\r\nunit_used=");
    EXPECT_EQ(read.roster->UnitCount, 1);
    EXPECT_EQ(read.roster->UnitTable[1].unit_name, "A");
}

TEST(ReaderGrammar, UnitUsedCompletesAUnitOnlyAsAKeyLine)
{
    // UnitCount starts at 7: only a completed unit changes it.
    const std::tuple<const char*, int, int> cases[] = {
        {"unit_used\r\n", 7, 1},
        {"unit_used =no\r\n", 7, 1},
        {"unit_used=\r\n", 1, 2},
        {"unit_used=yes\r\nunit_used=no", 2, 3},
        {"\"unit_name=A\r\nunit_used=no\r\n", 7, 1}, // the quote never closes: one item to the end
    };
    for (const auto& [lines, count, nextSlot] : cases) {
        Read read = readBytes(std::string("UNITS:\r\n") + lines);
        EXPECT_EQ(read.roster->UnitCount, count) << lines;
        EXPECT_EQ(read.result.nextSlot, nextSlot) << lines;
    }
}

TEST(ReaderGrammar, CountFieldsAreSetOnlyByTheirKey)
{
    Read read = readBytes("UNITS:\r\nunit_ammo=\r\nunit_fuel=07\r\nunit_used=no\r\n");
    const UnitRecord& unit = read.roster->UnitTable[1];
    EXPECT_EQ(unit.unit_ammo, "");
    EXPECT_EQ(unit.unit_fuel, "07");
    EXPECT_EQ(unit.unit_losses, std::nullopt);
    EXPECT_EQ(unit.unit_name, "old"); // absent keys keep what the slot held
}

TEST(ReaderGrammar, FindingsNameTheLineOfEachIgnoredItem)
{
    Read read = readBytes("hello\r\nGAME:\r\nWeather=Rain\rUNITS:\nunit_nmae=Bob\r\n\"a\r\nb\",unit_name=Smith, J.\r\n"
                          "unit_used=no\r\nunit_name=X\r\n\"open");
    const std::vector<std::pair<std::int64_t, std::string>> want = {
        {1, "ignored \"hello\": comes before the first section line (\"GAME:\" or \"UNITS:\")"},
        {3, "ignored \"Weather=Rain\": not a key of the game section"},
        {5, "ignored \"unit_nmae=Bob\": not a key of the unit section"},
        {6, "ignored \"a\\r\\nb\": not a key of the unit section"},
        {7, "ignored \"J.\": not a key of the unit section"},
        {10, "ignored \"open\": not a key of the unit section"},
        {10, "the double quote that starts this item is never closed, so the item runs to the end of the file"},
        {9, "unit block starting here has no unit_used line, so it is not part of the roster"},
    };
    EXPECT_EQ(read.findings, want);
}

TEST(ReaderGrammar, LastBlockWithoutUnitUsedSitsInTheNextSlot)
{
    auto roster = std::make_unique<Roster>();
    std::vector<ReaderFinding> findings;
    auto read = ReadRosterFile(BREVORN_TEST_DATA_DIR "/last-block-without-used.txt", *roster,
                               [&](const ReaderFinding& finding) { findings.push_back(finding); });
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(roster->UnitCount, 1);
    EXPECT_EQ(read.value().nextSlot, 2);
    EXPECT_EQ(roster->UnitTable[2].unit_name, "Bravo");
    EXPECT_EQ(roster->UnitTable[2].unit_losses, "1");
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].line, 12);
}

TEST(ReaderGrammar, ItemsAcrossChunkEndsReadTheSame)
{
    // Move the unit lines across the end of the first chunk, one byte at a time.
    const std::size_t chunk = ItemScanner::DefaultChunkSize;
    for (std::size_t pad = chunk - 40; pad <= chunk + 1; ++pad) {
        std::string filler = "GAME:\r\n" + std::string(pad - 9, 'x') + "\r";
        Read read = readBytes(filler + "\nUNITS:\r\n\"unit_name=Caf\xE9,\r\n1\"\r\nunit_side=S\r\nunit_used=no\r\n");
        EXPECT_EQ(read.roster->UnitTable[1].unit_name, "Caf\xC3\xA9,\r\n1") << pad;
        EXPECT_EQ(read.roster->UnitTable[1].unit_side, "S") << pad;
        EXPECT_EQ(read.roster->UnitCount, 1) << pad;
        ASSERT_EQ(read.findings.size(), 1u) << pad;
        EXPECT_EQ(read.findings[0].first, 2) << pad;
        EXPECT_EQ(read.findings[0].second,
                  "ignored \"" + std::string(60, 'x') + "...\": not a key of the game section");
    }

    // An item of several chunks is kept whole.
    std::string name = std::string(3 * chunk, 'n') + "\xE9";
    Read read = readBytes("UNITS:\r\nunit_name=" + name + "\r\nunit_used=no\r\n");
    EXPECT_EQ(read.roster->UnitTable[1].unit_name, std::string(3 * chunk, 'n') + "\xC3\xA9");
}

TEST(ItemScanner, ChunkSizeDoesNotChangeItemsOrLines)
{
    const std::string bytes = "a,b\r\n\r\n  \"q,\r\nx\" drop,\tc \r\rd\n\re=\"\",\"\r\n\"\r\n\"open\r\nend";
    auto scan = [&](std::size_t chunkSize) {
        std::istringstream in(bytes);
        ItemScanner scanner(in, chunkSize);
        std::vector<std::tuple<std::int64_t, std::string, bool>> items;
        while (scanner.nextItem()) {
            std::string item;
            for (std::string_view piece = scanner.nextPiece(); !piece.empty(); piece = scanner.nextPiece())
                item += piece;
            items.emplace_back(scanner.itemLine(), item, scanner.quoteUnclosed());
        }
        return items;
    };
    const std::vector<std::tuple<std::int64_t, std::string, bool>> want = {
        {1, "a", false},
        {1, "b", false},
        {2, "", false},
        {3, "q,\r\nx", false},
        {4, "c ", false},
        {5, "", false},
        {6, "d", false},
        {7, "", false},
        {8, "e=\"\"", false},
        {8, "\r\n", false},
        {10, "open\r\nend", true},
    };
    for (std::size_t chunkSize = 1; chunkSize <= 9; ++chunkSize)
        EXPECT_EQ(scan(chunkSize), want) << chunkSize;
    EXPECT_EQ(scan(ItemScanner::DefaultChunkSize), want);
}

} // namespace
} // namespace brevorn
