// The exact bytes a roster is written as, and the values a save refuses.
#include "roster/roster_writer.h"
#include "roster/unit_fields.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace brevorn {
namespace {

using FieldValues = std::initializer_list<std::pair<std::string_view, std::string>>;

UnitRecord makeUnit(FieldValues values)
{
    UnitRecord unit;
    for (const auto& [key, text] : values)
        setFieldText(unit, *findUnitField(key), text);
    return unit;
}

std::unique_ptr<Roster> makeRoster(std::initializer_list<FieldValues> units)
{
    auto roster = std::make_unique<Roster>();
    for (FieldValues values : units)
        roster->UnitTable[static_cast<std::size_t>(++roster->UnitCount)] = makeUnit(values);
    return roster;
}

std::vector<std::string> linesOf(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(start, bytes.size()) << "the last line must end with CR LF";
    return lines;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const GameSettings desertSummer{"12", "Desert", "Summer"};

TEST(WriterBytes, RosterWithoutUnitsIsSixLines)
{
    Roster empty;
    EXPECT_EQ(rosterFileBytes(empty, desertSummer).value(),
              "GAME:\r\nDay_Counter=12\r\nTheatre=Desert\r\nSeason=Summer\r\n\r\nUNITS:\r\n");
}

TEST(WriterBytes, ExampleRosterMatchesGoldenFile)
{
    auto roster = makeRoster({{
        {"unit_name", "1st Platoon"},
        {"unit_type", "Medium Tank"},
        {"unit_ammo", "2"},
        {"unit_fuel", "1"},
        {"unit_quality", "Veteran"},
        {"unit_status", "OK"},
        {"unit_orders", "Maneuver"},
        {"unit_side", "Blue"},
        {"unit_losses", "0"},
        {"unit_SA", "MG"},
        {"unit_HE", "Medium"},
        {"unit_AP", "Medium"},
        {"unit_AA", "None"},
        {"unit_armor_type", "Medium"},
        {"unit_smoke", "Yes"},
    }});
    const std::string expected = readFile(BREVORN_TEST_DATA_DIR "/example.expected.txt");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(rosterFileBytes(*roster, desertSummer).value(), expected);
}

TEST(WriterBytes, NumbersAreWrittenInDecimalForm)
{
    const struct
    {
        std::string day;
        std::optional<std::string> count; // unset when nullopt
        std::string dayLine;
        std::string countLine;
    } cases[] = {
        {"07", std::nullopt, "Day_Counter=7", "0"},
        {" 0 ", std::string("10"), "Day_Counter=0", "10"},
        {"37", std::string("007"), "Day_Counter=37", "7"},
        {"+1", std::string("4.0"), "Day_Counter=1", "4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.day);
        Roster roster;
        roster.UnitCount = 1;
        UnitRecord& unit = roster.UnitTable[1];
        unit.unit_ammo = unit.unit_fuel = unit.unit_losses = c.count;
        const std::vector<std::string> lines = linesOf(rosterFileBytes(roster, {c.day, "", ""}).value());
        ASSERT_EQ(lines.size(), 6u + 18u);
        EXPECT_EQ(lines[1], c.dayLine);
        EXPECT_EQ(lines[6 + 2], "unit_ammo=" + c.countLine);
        EXPECT_EQ(lines[6 + 3], "unit_fuel=" + c.countLine);
        EXPECT_EQ(lines[6 + 8], "unit_losses=" + c.countLine);
    }
}

TEST(WriterBytes, ArmouredIsNoOnlyForExactNone)
{
    auto roster = makeRoster({{{"unit_armor_type", "None"}},
                              {{"unit_armor_type", "none"}},
                              {{"unit_armor_type", ""}},
                              {{"unit_armor_type", "Heavy"}}});
    const std::vector<std::string> lines = linesOf(rosterFileBytes(*roster, desertSummer).value());
    ASSERT_EQ(lines.size(), 6u + 4 * 18u);
    const std::string armoured[] = {"No", "Yes", "Yes", "Yes"};
    for (std::size_t unit = 0; unit < 4; ++unit) {
        const std::size_t block = 6 + 18 * unit;
        EXPECT_EQ(lines[block + 14], "unit_armored=" + armoured[unit]);
        EXPECT_EQ(lines[block + 16], "unit_used=no");
        EXPECT_EQ(lines[block + 17], "");
    }
}

TEST(WriterBytes, SlotsAboveUnitCountAreNeverWritten)
{
    // Slot 2 holds leftovers that could not even be written.
    auto roster = makeRoster({{{"unit_name", "Kept"}}, {{"unit_name", "Left ✓"}, {"unit_ammo", "N/A"}}});
    roster->UnitCount = 1;
    const std::string bytes = rosterFileBytes(*roster, desertSummer).value();
    EXPECT_EQ(linesOf(bytes).size(), 6u + 18u);
    EXPECT_EQ(bytes.find("Left"), std::string::npos);
}

TEST(WriterBytes, TextsAreWrittenAsWindows1252Bytes)
{
    auto roster = makeRoster({{{"unit_name", "Légion €5"}, {"unit_side", "Côte"}}});
    const std::vector<std::string> lines = linesOf(rosterFileBytes(*roster, {"1", "Méditerranée", "Été"}).value());
    ASSERT_EQ(lines.size(), 6u + 18u);
    EXPECT_EQ(lines[2], "Theatre=M\xe9"
                        "diterran\xe9"
                        "e");
    EXPECT_EQ(lines[3], "Season=\xc9t\xe9");
    EXPECT_EQ(lines[6], "unit_name=L\xe9gion \x80"
                        "5");
    EXPECT_EQ(lines[6 + 7], "unit_side=C\xf4te");
}

TEST(WriterBytes, EveryRefusedValueIsListedAndTheFileIsLeftAlone)
{
    auto roster = makeRoster({{{"unit_name", "Alpha"}, {"unit_ammo", "N/A"}},
                              {{"unit_name", "Bravo ✓"}, {"unit_fuel", ""}, {"unit_losses", "11"}}});
    const std::vector<std::string> expected = {
        "Day_Counter \"40\": needs a whole number from 0 to 37",
        "unit 1 \"Alpha\", unit_ammo \"N/A\": needs a whole number from 0 to 10",
        "unit 2 \"Bravo ✓\", unit_name \"Bravo ✓\": needs characters Windows-1252 can hold (\"✓\" is not one)",
        "unit 2 \"Bravo ✓\", unit_fuel \"\": needs a whole number from 0 to 10",
        "unit 2 \"Bravo ✓\", unit_losses \"11\": needs a whole number from 0 to 10",
    };

    const std::string path =
        (std::filesystem::temp_directory_path() / ("brevorn-refused-" + std::to_string(::getpid()) + ".txt")).string();
    std::ofstream(path, std::ios::binary) << "old contents";
    std::optional<RosterError> error = WriteRosterFile(path, *roster, "40", "Desert", "Summer");
    const std::string onDisk = readFile(path);
    std::filesystem::remove(path);

    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(onDisk, "old contents");
    std::vector<std::string> described;
    std::string message = "cannot save \"" + path + "\": 5 values cannot be written:";
    for (std::size_t i = 0; i < error->problems.size(); ++i) {
        described.push_back(error->problems[i].describe());
        message += "\n  " + expected.at(i);
    }
    EXPECT_EQ(described, expected);
    EXPECT_EQ(error->message, message);
}

TEST(WriterBytes, RefusedCharacterIsNamedOrShownAsBytes)
{
    const struct
    {
        std::string text;
        std::string allowed;
    } cases[] = {
        {"Check ✓", "characters Windows-1252 can hold (\"✓\" is not one)"},
        {"\xf0\x9f\x9a\x80", "characters Windows-1252 can hold (\"\xf0\x9f\x9a\x80\" is not one)"},
        {"a\xff", "characters Windows-1252 can hold, as well-formed UTF-8 (the bytes 0xFF are not)"},
        {"a\xe2\x9c", "characters Windows-1252 can hold, as well-formed UTF-8 (the bytes 0xE2 0x9C are not)"},
        {"\xed\xa0\x80", "characters Windows-1252 can hold, as well-formed UTF-8 (the bytes 0xED 0xA0 0x80 are not)"},
        {"\xc0\xaf", "characters Windows-1252 can hold, as well-formed UTF-8 (the bytes 0xC0 0xAF are not)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Expected<std::string> bytes = rosterFileBytes(Roster(), {"1", c.text, "Summer"});
        ASSERT_FALSE(bytes.ok());
        ASSERT_EQ(bytes.error().problems.size(), 1u);
        EXPECT_EQ(bytes.error().problems[0].fieldKey, "Theatre");
        EXPECT_EQ(bytes.error().problems[0].allowed, c.allowed);
    }
}

} // namespace
} // namespace brevorn
