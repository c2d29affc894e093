// The roster's units as a range: what replacing them all keeps, empties and refuses.
#include "roster.h"

#include <gtest/gtest.h>

#include <memory>

namespace brevorn {
namespace {

std::vector<UnitRecord> named(std::initializer_list<const char*> names)
{
    std::vector<UnitRecord> units;
    for (const char* name : names)
        units.emplace_back().unit_name = name;
    return units;
}

std::string names(const Roster& roster)
{
    std::string joined;
    for (const UnitRecord& unit : roster.units())
        joined += unit.unit_name + ';';
    return joined;
}

TEST(ReplaceUnits, GivesExactlyTheUnitsSoANewSlotStartsEmptyAndRefusesA501st)
{
    auto roster = std::make_unique<Roster>();
    ASSERT_TRUE(roster->replaceUnits(named({"A", "B", "C"})));
    ASSERT_TRUE(roster->replaceUnits(named({"X"})));
    EXPECT_EQ(names(*roster), "X;");
    // The slots the former units left are empty, as after reading a file of just these units.
    roster->UnitCount = 3;
    EXPECT_EQ(names(*roster), "X;;;");

    const Expected<void> refused = roster->replaceUnits(std::vector<UnitRecord>(MaxUnits + 1));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().message, "a roster holds at most 500 units, not 501");
    EXPECT_EQ(names(*roster), "X;;;") << "a refusal leaves the roster as it was";
    EXPECT_TRUE(roster->replaceUnits(std::vector<UnitRecord>(MaxUnits)));
    EXPECT_EQ(roster->units().size(), 500);
}

} // namespace
} // namespace brevorn
