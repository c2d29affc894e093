// The exact bytes a roster is written as with its numbers in decimal form, the values a save refuses, and
// files loaded and saved again.
#include "decimal_form.h"
#include "roster_reader.h"
#include "roster_test_support.h"
#include "roster_writer.h"
#include "unit_fields.h"

#include <initializer_list>
#include <memory>
#include <optional>
#include <sstream>
#include <tuple>

namespace brevorn {
namespace {

// One unit per text, given as "field=text;field=text" with the field keys short of "unit_".
std::unique_ptr<Roster> makeRoster(std::initializer_list<std::string> units)
{
    auto roster = std::make_unique<Roster>();
    for (const std::string& unit : units) {
        std::istringstream fields(unit);
        ++roster->UnitCount;
        UnitRecord& record = roster->units().back();
        for (std::string item; std::getline(fields, item, ';');)
            setFieldText(record, *findUnitField("unit_" + item.substr(0, item.find('='))),
                         item.substr(item.find('=') + 1));
    }
    return roster;
}

// The 1-based line of the bytes, without its CR LF; "(none)" when no such line ends with CR LF.
std::string lineOf(const std::string& bytes, int line)
{
    for (std::size_t start = 0, end = 0; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        if (--line == 0)
            return bytes.substr(start, end - start);
    return "(none)";
}

const GameSettings desertSummer{"12", "Desert", "Summer"};
using WriterFiles = ScratchFolder;

TEST(DecimalForm, ReadsTextsAgainstBothMaxima)
{
    constexpr std::nullopt_t no = std::nullopt;
    // The text, its number as a count (at most 10), as a day (at most 37): plain and padded numbers, numbers
    // that the range decides, and texts in other notations (the digits are ASCII only).
    // clang-format off
    const std::tuple<std::string, std::optional<int>, std::optional<int>> cases[] = {
        {"0", 0, 0}, {"7", 7, 7}, {"07", 7, 7}, {" 3 ", 3, 3}, {"\t5\t", 5, 5}, {"0000000000000000000007", 7, 7},
        {"+4", 4, 4}, {"-0", 0, 0}, {"10.0", 10, 10}, {"2.000", 2, 2}, {"-0.0", 0, 0}, {"10", 10, 10},
        {"11", no, 11}, {"37", no, 37}, {"38", no, no}, {"-1", no, no}, {"99999999999999999999", no, no},
        {"00000000000000000000038", no, no}, {"", no, no}, {" ", no, no}, {"N/A", no, no}, {"3.5", no, no},
        {"3.", no, no}, {".5", no, no}, {".", no, no}, {"1e1", no, no}, {"0x5", no, no}, {"1 2", no, no},
        {"- 1", no, no}, {"+-1", no, no}, {"5\n", no, no}, {"\xd9\xa3", no, no}};
    // clang-format on
    for (const auto& [text, asCount, asDay] : cases) {
        EXPECT_EQ(decimalForm(text, MaxCount), asCount) << '"' << text << '"';
        EXPECT_EQ(decimalForm(text, MaxDayCounter), asDay) << '"' << text << '"';
    }
}

TEST(WriterBytes, ArmourDerivedSettingsInWindows1252AndNothingPastTheLastUnit)
{
    // A roster of one unit and the game texts -> line number -> that line as written; "(none)" past the end.
    // (What a loaded file's values are written as is in the golden files below.)
    const std::tuple<std::string, GameSettings, int, std::string> cases[] = {
        {"", {"1", "Méditerranée", "Été"}, 4, "Season=\xc9t\xe9"},
        {"armor_type=None", desertSummer, 21, "unit_armored=No"},
        {"armor_type=none", desertSummer, 21, "unit_armored=Yes"},
        {"armor_type=", desertSummer, 21, "unit_armored=Yes"},
        {"", desertSummer, 24, ""},
        {"", desertSummer, 25, "(none)"},
    };
    for (const auto& [unit, game, line, want] : cases) {
        auto roster = makeRoster({unit, "name=Left ✓;ammo=N/A"});
        roster->UnitCount = 1; // slot 2 holds leftovers that could not even be written
        EXPECT_EQ(lineOf(rosterFileBytes(*roster, game).value(), line), want) << unit << " " << line;
    }
    EXPECT_EQ(rosterFileBytes(Roster(), desertSummer).value(),
              "GAME:\r\nDay_Counter=12\r\nTheatre=Desert\r\nSeason=Summer\r\n\r\nUNITS:\r\n");
}

TEST_F(WriterFiles, EveryRefusedValueIsListedAndTheFileIsLeftAlone)
{
    auto roster = makeRoster({"name=Alpha;ammo=N/A", "name=B ✓;fuel=;losses=11",
                              "type=\xf0\x9f\x9a\x80;side=a\xff;SA=a\xe2\x9c;AA=\xed\xa0\x80;smoke=\xc0\xaf"});
    writeBytes(path("r.txt"), "old contents");
    const Expected<SaveOutcome> error = WriteRosterFile(path("r.txt"), *roster, "40", "Desert", "Summer");
    EXPECT_EQ(fileBytes(path("r.txt")), "old contents");
    const std::string number = ": needs a whole number from 0 to ",
                      holdable = ": needs characters Windows-1252 can hold",
                      wellFormed = holdable + ", as well-formed UTF-8 (the bytes ";
    const std::string want[] = {
        "Day_Counter \"40\"" + number + "37",
        "unit 1 \"Alpha\", unit_ammo \"N/A\"" + number + "10",
        "unit 2 \"B ✓\", unit_name \"B ✓\"" + holdable + " (\"✓\" is not one)",
        "unit 2 \"B ✓\", unit_fuel \"\"" + number + "10",
        "unit 2 \"B ✓\", unit_losses \"11\"" + number + "10",
        "unit 3 \"\", unit_type \"\xf0\x9f\x9a\x80\"" + holdable + " (\"\xf0\x9f\x9a\x80\" is not one)",
        "unit 3 \"\", unit_side \"a\xff\"" + wellFormed + "0xFF are not)",
        "unit 3 \"\", unit_SA \"a\xe2\x9c\"" + wellFormed + "0xE2 0x9C are not)",
        "unit 3 \"\", unit_AA \"\xed\xa0\x80\"" + wellFormed + "0xED 0xA0 0x80 are not)",
        "unit 3 \"\", unit_smoke \"\xc0\xaf\"" + wellFormed + "0xC0 0xAF are not)",
    };
    std::string message = "cannot save \"" + path("r.txt") + "\": 10 values cannot be written:";
    for (const std::string& line : want)
        message += "\n  " + line;
    EXPECT_EQ(messageOf(error), message);
    EXPECT_EQ(error ? 0u : error.error().problems.size(), 10u);
}

TEST_F(WriterFiles, LoadedFileSavedTwiceGivesTheGoldenBytesBothTimes)
{
    // rewritten-derived-lines.txt claims unit_used=yes, armour contradicting the armour type, a name
    // with a comma, numbers with leading zeros and a block without count lines.
    for (const std::string name : {"example", "rewritten-derived-lines"}) {
        auto roster = std::make_unique<Roster>();
        const RosterReadResult game = ReadRosterFile(dataFile(name + ".txt"), *roster).value();
        for (int save = 1; save <= 2; ++save) {
            EXPECT_EQ(messageOf(WriteRosterFile(path("out.txt"), *roster, game.Day_Counter.value_or(""),
                                                game.Theatre.value_or(""), game.Season.value_or(""))),
                      "");
            EXPECT_EQ(fileBytes(path("out.txt")), fileBytes(dataFile(name + ".expected.txt"))) << name << save;
        }
    }
}

// Capping the memory of a child process takes fork and setrlimit, which Windows lacks.
#ifndef _WIN32
TEST_F(WriterFiles, RunningOutOfMemoryWhilePreparingTheBytesLeavesTheFileAlone)
{
    if (!MemoryCapWorks)
        GTEST_SKIP() << "this build's allocator stops the program when memory runs out instead of throwing";
    writeBytes(path("r.txt"), "old contents");
    const std::string got = inChild([&] {
        auto roster = makeRoster({"name=" + std::string(std::size_t(48) << 20, 'n')});
        if (!capMemory(16))
            return std::string("cannot cap the memory");
        return messageOf(WriteRosterFile(path("r.txt"), *roster, "1", "", ""));
    });
    EXPECT_EQ(got, "cannot save \"" + path("r.txt") + "\": there is not enough memory to prepare its contents");
    EXPECT_EQ(fileBytes(path("r.txt")), "old contents");
}
#endif

} // namespace
} // namespace brevorn
