// Pairing units between two rosters, and what diff shows of it.
#include "roster_diff.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace brevorn {
namespace {

// Units from "Name/Side" words; a word with "=N" after it gives the unit N as its ammunition.
std::unique_ptr<Roster> rosterOf(const std::string& units)
{
    auto roster = std::make_unique<Roster>();
    std::istringstream words(units);
    for (std::string word; words >> word;) {
        ++roster->UnitCount;
        UnitRecord& unit = roster->units().back();
        const std::size_t slash = word.find('/'), equals = word.find('=');
        unit.unit_name = word.substr(0, slash);
        unit.unit_side = word.substr(slash + 1, equals - slash - 1);
        if (equals != std::string::npos)
            unit.unit_ammo = word.substr(equals + 1);
    }
    return roster;
}

std::string diffText(const std::string& before, const std::string& after)
{
    const GameSettings game{"1", "Desert", "Summer"};
    return diffAsText(diffRosters(*rosterOf(before), game, *rosterOf(after), game));
}

TEST(DiffAlignment, UnitsPairByNameAndSideLikeLinesOfATextAndRenamedOrMovedOnesShowAsOne)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"A/Red B/Red C/Red", "A/Red B/Red C/Red", ""},
        // One unit taken out or put in shows as that, and the units after it as unchanged.
        {"A/Red B/Red C/Red D/Red", "A/Red C/Red D/Red", "removed unit 2 \"B - Red\"\n"},
        {"A/Red C/Red D/Red", "A/Red B/Blue C/Red D/Red", "added unit 2 \"B - Blue\"\n"},
        {"A/Red B/Red", "", "removed unit 1 \"A - Red\"\nremoved unit 2 \"B - Red\"\n"},
        // Namesakes pair in order.
        {"A/Red A/Red B/Red A/Red", "A/Red B/Red A/Red", "removed unit 2 \"A - Red\"\n"},
        {"A/Red B/Red=1 C/Red D/Red=4", "B/Red=2 C/Red X/Red D/Red=4",
         "removed unit 1 \"A - Red\"\nchanged unit 2 \"B - Red\", now unit 1\n  unit_ammo \"1\" → \"2\"\n"
         "added unit 3 \"X - Red\"\n"},
        {"A/Red=0 B/Red", "A/Red B/Red=",
         "changed unit 1 \"A - Red\"\n  unit_ammo \"0\" → (unset)\n"
         "changed unit 2 \"B - Red\"\n  unit_ammo (unset) → \"\"\n"},
        // Renamed in place or moved: shown as one unit.
        // A new name or side where the old one stood, with the unit's other changes.
        {"A/Red B/Red C/Red", "A/Red B/Blue C/Red", "renamed unit 2 \"B - Red\" to \"B - Blue\"\n"},
        {"A/Red B/Red=1 C/Red", "A/Red X/Red=2 C/Red",
         "renamed unit 2 \"B - Red\" to \"X - Red\"\n  unit_ammo \"1\" → \"2\"\n"},
        {"A/Red B/Red=1 C/Red", "X/Red C/Red",
         "renamed unit 1 \"A - Red\" to \"X - Red\"\nremoved unit 2 \"B - Red\"\n"},
        // Both anew: the same unit only when every other field is the same.
        {"A/Red B/Red=1", "A/Red X/Blue=1", "renamed unit 2 \"B - Red\" to \"X - Blue\"\n"},
        {"A/Red B/Red=1", "A/Red X/Blue=2", "removed unit 2 \"B - Red\"\nadded unit 2 \"X - Blue\"\n"},
        // Not where the old one stood: taken out and put in.
        {"A/Red B/Red C/Red", "A/Red C/Red X/Red", "removed unit 2 \"B - Red\"\nadded unit 3 \"X - Red\"\n"},
        // The same name and side in another order, changed or not.
        {"A/Red B/Red C/Red", "B/Red C/Red A/Red", "moved unit 1 \"A - Red\", now unit 3\n"},
        // Shown where it was taken out.
        {"A/Red=1 B/Red C/Red", "C/Red A/Red=2 B/Red",
         "changed unit 1 \"A - Red\", now unit 2\n  unit_ammo \"1\" → \"2\"\nmoved unit 3 \"C - Red\", now unit 1\n"},
        {"A/Red=1 B/Red C/Red", "B/Red C/Red A/Red=2",
         "moved unit 1 \"A - Red\", now unit 3\n  unit_ammo \"1\" → \"2\"\n"},
        // Of two namesakes, the one that is the same in every field moved.
        {"A/Red=1 A/Red=2 B/Red C/Red D/Red", "B/Red C/Red D/Red A/Red=2",
         "removed unit 1 \"A - Red\"\nmoved unit 2 \"A - Red\", now unit 4\n"},
    };
    for (const auto& [before, after, want] : cases)
        EXPECT_EQ(diffText(before, after), want) << before << " -> " << after;
}

TEST(DiffAlignment, FullRostersThatShareNothingAreAllRemovedAndAdded)
{
    std::string before, after;
    for (int i = 0; i < 500; ++i) {
        before += "Old" + std::to_string(i) + "/Red=1 ";
        after += "New" + std::to_string(i) + "/Red=2 ";
    }
    const GameSettings game;
    const RosterDiff diff = diffRosters(*rosterOf(before), game, *rosterOf(after), game);
    ASSERT_EQ(diff.units.size(), 1000u);
    EXPECT_EQ(diff.units[499].oldSlot, 500);
    EXPECT_EQ(diff.units[500].newSlot, 1);
}

TEST(DiffOutput, TextShowsSettingsFirstAndWhatATerminalWouldActOnAsEscapes)
{
    // Line ends, DEL and ESC in a setting, a unit's side (so its label) and a field.
    const std::string value = "a\tb\r\nc\x7F\x1b[2J";
    const std::string shown = "\"a\\tb\\r\\nc\\x7f\\x1b[2J\"";
    const auto before = rosterOf("A/Red=3 B/Red");
    const auto after = rosterOf("A/Red=");
    before->units()[0].unit_side = after->units()[0].unit_side = after->units()[0].unit_status = value;
    EXPECT_EQ(diffAsText(diffRosters(*before, {"12", "", "Summer"}, *after, {"13", value, "Summer"})),
              "Day_Counter \"12\" → \"13\"\nTheatre \"\" → " + shown + "\nchanged unit 1 \"A - " + shown.substr(1) +
                  "\n  unit_ammo \"3\" → \"\"\n  unit_status \"\" → " + shown + "\nremoved unit 2 \"B - Red\"\n");
}

TEST(DiffOutput, JsonNamesEachKindOfChangeAndEscapesC1Controls)
{
    const auto before = rosterOf("A/Red=1 B/Red C/Red D/Red");
    const auto after = rosterOf("X/Red=2 C/Red=5 B/Red");
    after->units()[2].unit_status = "\xC2\x9B";
    const std::string json = diffAsJson(diffRosters(*before, {"12", "", ""}, *after, {"13", "", ""}));
    const std::string wants[] = {
        "{\n  \"settings\": {\n    \"Day_Counter\": {\n      \"old\": \"12\",\n      \"new\": \"13\"\n    }\n  },\n",
        "\"change\": \"renamed\",\n      \"old_slot\": 1,\n      \"new_slot\": 1,\n      \"unit_name\": \"X\",\n      "
        "\"unit_side\": \"Red\",\n      \"fields\": {\n        \"unit_name\": {\n          \"old\": \"A\",\n          "
        "\"new\": \"X\"\n        },\n        \"unit_ammo\": {",
        "\"change\": \"moved\",\n      \"old_slot\": 2,\n      \"new_slot\": 3,\n      \"unit_name\": \"B\",\n      "
        "\"unit_side\": \"Red\",\n      \"fields\": {\n        \"unit_status\": {\n          \"old\": \"\",\n          "
        "\"new\": \"\\u009b\"\n",
        "\"change\": \"changed\",\n      \"old_slot\": 3,\n      \"new_slot\": 2,",
        "\"change\": \"removed\",\n      \"old_slot\": 4,\n      \"unit\": {\n        \"unit_name\": \"D\",",
    };
    for (const std::string& want : wants)
        EXPECT_NE(json.find(want), std::string::npos) << want << "\nin\n" << json;
    EXPECT_EQ(diffAsJson(diffRosters(*after, {}, *after, {})), "{\n  \"settings\": {},\n  \"units\": []\n}\n");
}

} // namespace
} // namespace brevorn
