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

// Reads into a roster whose slot 1 already holds a unit and whose UnitCount is 7.
template <class ReadFunction>
Read readWith(ReadFunction read)
{
    Read got;
    got.roster->UnitTable[1].unit_name = "old";
    got.roster->UnitTable[1].unit_side = "old side";
    got.roster->UnitCount = 7;
    auto result = read(*got.roster, [&](const ReaderFinding& f) { got.findings.emplace_back(f.line, f.message); });
    EXPECT_TRUE(result.ok()) << result.error().message;
    if (result.ok())
        got.result = result.value();
    return got;
}

Read readBytes(const std::string& bytes)
{
    std::istringstream in(bytes);
    return readWith([&](Roster& roster, const FindingSink& sink) { return readRoster(in, "test.txt", roster, sink); });
}

Read readFile(const std::string& name)
{
    return readWith([&](Roster& roster, const FindingSink& sink) {
        return ReadRosterFile(BREVORN_TEST_DATA_DIR "/" + name, roster, sink);
    });
}

TEST(ReaderGrammar, ExampleFileGivesItsUnitAndGameTexts)
{
    Read read = readFile("example.txt");
    UnitRecord want{"1st Platoon", "Medium Tank", "2",      "1",      "Veteran", "OK",     "Maneuver", "Blue",
                    "0",           "MG",          "Medium", "Medium", "None",    "Medium", "Yes"};
    EXPECT_EQ(read.roster->UnitTable[1], want);
    EXPECT_EQ(read.roster->UnitCount, 1);
    EXPECT_EQ(read.result.nextSlot, 2);
    EXPECT_EQ(read.result.Day_Counter, "12");
    EXPECT_EQ(read.result.Theatre, "Desert");
    EXPECT_EQ(read.result.Season, "Summer");
    EXPECT_TRUE(read.findings.empty());
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
    };
    for (const Case& c : cases) {
        Read read = readBytes(std::string("UNITS:\r\n") + c.lines + "unit_used=no\r\n");
        EXPECT_EQ(read.roster->UnitTable[1].unit_name, c.name) << c.lines;
        EXPECT_EQ(read.roster->UnitTable[1].unit_side, c.side) << c.lines;
        EXPECT_EQ(read.roster->UnitCount, 1) << c.lines;
    }
}

TEST(ReaderGrammar, SectionsGameKeysAndCompletedUnits)
{
    // UnitCount starts at 7: only a completed unit changes it.
    const std::tuple<const char*, std::optional<std::string>, int, int> cases[] = {
        {"GAME:\r\nDay_Counter=5", "5", 7, 1},
        {" \t GAME:\r\nDay_Counter=5\r\n", "5", 7, 1},
        {"\"GAME:\",Day_Counter=5\r\n", "5", 7, 1},
        {"game:\r\nDay_Counter=5\r\n", std::nullopt, 7, 1},
        {"GAME: \r\nDay_Counter=5\r\n", std::nullopt, 7, 1},
        {"Day_Counter=5\r\nGAME:\r\n", std::nullopt, 7, 1},
        {"GAME:\r\nDay_Counter=5\r\nUNITS:\r\nDay_Counter=6\r\nGAME:\r\nDay_Counter=07\r\n", "07", 7, 1},
        {"GAME:\r\nDay_Counter=\r\nunit_used=no\r\n", "", 7, 1},
        {"UNITS:\r\nunit_used\r\nunit_used =no\r\n", std::nullopt, 7, 1},
        {"UNITS:\r\nunit_used=\r\n", std::nullopt, 1, 2},
        {"UNITS:\r\nunit_used=yes\r\nGAME:\r\nunit_used=no\r\nUNITS:\r\nunit_used=no", std::nullopt, 2, 3},
        {"UNITS:\r\n\"unit_name=A\r\nunit_used=no\r\n", std::nullopt, 7, 1}, // the quote never closes
    };
    for (const auto& [bytes, day, count, nextSlot] : cases) {
        Read read = readBytes(bytes);
        EXPECT_EQ(read.result.Day_Counter, day) << bytes;
        EXPECT_EQ(read.roster->UnitCount, count) << bytes;
        EXPECT_EQ(read.result.nextSlot, nextSlot) << bytes;
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

TEST(ReaderGrammar, FilesWithoutSectionsChangeNothing)
{
    for (const char* name : {"empty.txt", "no-sections.txt"}) {
        Read read = readFile(name);
        EXPECT_EQ(read.roster->UnitTable[1].unit_name, "old") << name;
        EXPECT_EQ(read.roster->UnitCount, 7) << name;
        EXPECT_EQ(read.result.nextSlot, 1) << name;
        EXPECT_EQ(read.result.Day_Counter, std::nullopt) << name;
    }
}

TEST(ReaderGrammar, LastBlockWithoutUnitUsedSitsInTheNextSlot)
{
    Read read = readFile("last-block-without-used.txt");
    EXPECT_EQ(read.roster->UnitCount, 1);
    EXPECT_EQ(read.result.nextSlot, 2);
    EXPECT_EQ(read.roster->UnitTable[2].unit_name, "Bravo");
    EXPECT_EQ(read.roster->UnitTable[2].unit_losses, "1");
    EXPECT_EQ(read.findings.size(), 1u);
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
    // Each item as "line:bytes|", with "!" where the closing quote is missing.
    const std::string want = "1:a|1:b|2:|3:q,\r\nx|4:c |5:|6:d|7:|8:e=\"\"|8:\r\n|10:open\r\nend!|";
    for (std::size_t chunkSize : {1, 2, 3, 4, 5, 7, 9, 64 * 1024}) {
        std::istringstream in(bytes);
        ItemScanner scanner(in, chunkSize);
        std::string items;
        while (scanner.nextItem()) {
            items += std::to_string(scanner.itemLine()) + ":";
            for (std::string_view piece = scanner.nextPiece(); !piece.empty(); piece = scanner.nextPiece())
                items += piece;
            items += scanner.quoteUnclosed() ? "!|" : "|";
        }
        EXPECT_EQ(items, want) << chunkSize;
    }
}

} // namespace
} // namespace brevorn
