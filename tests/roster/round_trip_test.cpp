// A roster written and read back: the same texts, apart from what the file format changes.
#include "roster/roster_reader.h"
#include "roster/roster_writer.h"
#include "roster/unit_fields.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace brevorn {
namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct ReadBack
{
    std::unique_ptr<Roster> roster = std::make_unique<Roster>();
    RosterReadResult result;
};

ReadBack readBytes(const std::string& bytes)
{
    ReadBack back;
    std::istringstream in(bytes);
    Expected<RosterReadResult> read = readRoster(in, "round trip", *back.roster);
    EXPECT_TRUE(read.ok()) << (read.ok() ? "" : read.error().message);
    if (read.ok())
        back.result = read.value();
    return back;
}

GameSettings gameOf(const RosterReadResult& read)
{
    return {read.Day_Counter.value_or(""), read.Theatre.value_or(""), read.Season.value_or("")};
}

// Every field of every unit as "slot key=text", so that a difference names its place.
std::vector<std::string> fieldLines(const Roster& roster)
{
    std::vector<std::string> lines;
    for (int slot = 1; slot <= roster.UnitCount; ++slot) {
        for (const UnitField& field : unitFields) {
            const UnitRecord& unit = roster.UnitTable[static_cast<std::size_t>(slot)];
            const bool unset = field.kind == FieldKind::Count && !(unit.*field.count);
            lines.push_back(std::to_string(slot) + " " + std::string(field.key) + "=" +
                            (unset ? "(unset)" : std::string(fieldText(unit, field))));
        }
    }
    return lines;
}

TEST(RoundTrip, TextsComeBackAsWrittenExceptWhereTheFormatChangesThem)
{
    // Each unit: what it holds, and what reading the written file gives for it.
    const struct
    {
        std::vector<std::pair<std::string_view, std::string>> held;
        std::vector<std::pair<std::string_view, std::string>> readBack;
    } units[] = {
        {{{"unit_name", "Légion €"}, {"unit_armor_type", "None"}, {"unit_ammo", "10"}}, {}},
        {{{"unit_name", "a=b=c"}, {"unit_side", "Côte d'Or"}, {"unit_smoke", "perhaps"}}, {}},
        {{{"unit_name", "Smith, J."}, {"unit_fuel", "007"}, {"unit_losses", " 2 "}},
         {{"unit_name", "Smith"}, {"unit_fuel", "7"}, {"unit_losses", "2"}}},
        {{{"unit_name", ""}, {"unit_type", ""}, {"unit_armor_type", ""}}, {}},
    };
    auto written = std::make_unique<Roster>();
    auto expected = std::make_unique<Roster>();
    for (const auto& unit : units) {
        ++written->UnitCount;
        ++expected->UnitCount;
        UnitRecord& held = written->UnitTable[static_cast<std::size_t>(written->UnitCount)];
        UnitRecord& want = expected->UnitTable[static_cast<std::size_t>(expected->UnitCount)];
        // The other fields get texts of their own; counts not given are left unset.
        for (const UnitField& field : unitFields) {
            if (field.kind == FieldKind::Text)
                setFieldText(held, field, std::string(field.key.substr(5)) + " " + std::to_string(written->UnitCount));
        }
        for (const auto& [key, text] : unit.held)
            setFieldText(held, *findUnitField(key), text);
        want = held;
        for (const UnitField& field : unitFields) {
            if (field.kind == FieldKind::Count && !(want.*field.count))
                setFieldText(want, field, "0"); // unset is written as 0
        }
        for (const auto& [key, text] : unit.readBack)
            setFieldText(want, *findUnitField(key), text);
    }

    const GameSettings game{"09", "Tropical", "Rainy Season"};
    const std::string bytes = rosterFileBytes(*written, game).value();
    ReadBack back = readBytes(bytes);

    EXPECT_EQ(back.result.nextSlot, 5);
    EXPECT_EQ(gameOf(back.result), (GameSettings{"9", "Tropical", "Rainy Season"}));
    EXPECT_EQ(fieldLines(*back.roster), fieldLines(*expected));

    // What was read writes the same file again, byte for byte.
    EXPECT_EQ(rosterFileBytes(*back.roster, gameOf(back.result)).value(), rosterFileBytes(*expected, game).value());
}

TEST(RoundTrip, SavingWhatWasLoadedTwiceGivesIdenticalFiles)
{
    auto roster = std::make_unique<Roster>();
    Expected<RosterReadResult> read = ReadRosterFile(BREVORN_TEST_DATA_DIR "/example.expected.txt", *roster);
    ASSERT_TRUE(read.ok()) << read.error().message;
    const GameSettings game = gameOf(read.value());

    const std::string path =
        (std::filesystem::temp_directory_path() / ("brevorn-round-trip-" + std::to_string(::getpid()) + ".txt"))
            .string();
    std::optional<RosterError> first = WriteRosterFile(path, *roster, game.Day_Counter, game.Theatre, game.Season);
    const std::string firstBytes = readFile(path);
    std::optional<RosterError> second = WriteRosterFile(path, *roster, game.Day_Counter, game.Theatre, game.Season);
    const std::string secondBytes = readFile(path);
    std::filesystem::remove(path);

    EXPECT_FALSE(first.has_value());
    EXPECT_FALSE(second.has_value());
    EXPECT_EQ(firstBytes, readFile(BREVORN_TEST_DATA_DIR "/example.expected.txt"));
    EXPECT_EQ(secondBytes, firstBytes);
}

TEST(RoundTrip, LoadedBlocksAreWrittenWithDerivedArmourAndConstantUsedLines)
{
    // The input claims unit_used=yes, armour that contradicts the armour type, a name
    // with a comma, numbers with leading zeros and a block without count lines.
    auto roster = std::make_unique<Roster>();
    Expected<RosterReadResult> read = ReadRosterFile(BREVORN_TEST_DATA_DIR "/rewritten-derived-lines.txt", *roster);
    ASSERT_TRUE(read.ok()) << read.error().message;
    const std::string expected = readFile(BREVORN_TEST_DATA_DIR "/rewritten-derived-lines.expected.txt");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(rosterFileBytes(*roster, gameOf(read.value())).value(), expected);
}

} // namespace
} // namespace brevorn
