// Reads that fail leave the roster as it was and say why; reads at the limits that succeed.
#include "roster/roster_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>

namespace brevorn {
namespace {

std::string unitBlocks(int count)
{
    std::string bytes = "GAME:\r\nDay_Counter=1\r\n\r\nUNITS:\r\n";
    for (int unit = 1; unit <= count; ++unit)
        bytes += "unit_name=Unit " + std::to_string(unit) + "\r\nunit_armored=Yes\r\nunit_used=no\r\n\r\n";
    return bytes;
}

// A roster that already holds something, so that "unchanged" means something.
std::unique_ptr<Roster> heldRoster()
{
    auto roster = std::make_unique<Roster>();
    roster->UnitTable[3].unit_name = "held";
    roster->UnitTable[3].unit_ammo = "4";
    roster->UnitCount = 3;
    return roster;
}

// Reads with the given call and expects it to fail with the message, leaving the roster alone.
template <class ReadFunction>
void expectFailure(ReadFunction read, const std::string& message)
{
    auto roster = heldRoster();
    const Roster before = *roster;
    auto result = read(*roster);
    ASSERT_FALSE(result.ok()) << message;
    EXPECT_EQ(result.error().message, message);
    EXPECT_TRUE(*roster == before) << message;
}

TEST(ReaderLimits, FiveHundredUnitsFit)
{
    auto roster = heldRoster();
    std::istringstream in(unitBlocks(500) + "junk=1\r\nunit_used\r\nSeason=Dry\r\nGAME:\r\nunit_name=x\r\n");
    auto read = readRoster(in, "big.txt", *roster);
    ASSERT_TRUE(read.ok()) << read.error().message;
    EXPECT_EQ(roster->UnitCount, 500);
    EXPECT_EQ(read.value().nextSlot, 501);
    EXPECT_EQ(roster->UnitTable[500].unit_name, "Unit 500");
    EXPECT_EQ(roster->UnitTable[3].unit_ammo, "4");
}

TEST(ReaderLimits, AnyUnitKeyAfterFiveHundredUnitsFailsWithItsLine)
{
    // The first line after the 500th block is 5 + 4 * 500.
    for (const char* tail : {"unit_name=x", "unit_armored=Yes", "unit_used=no", "\r\n  \"unit_smoke=No\""}) {
        std::istringstream in(unitBlocks(500) + tail);
        expectFailure([&](Roster& roster) { return readRoster(in, "/path/big.txt", roster); },
                      "\"/path/big.txt\" holds more than 500 units; the editor holds at most 500 (the 501st starts on "
                      "line " +
                          std::string(tail[0] == '\r' ? "2006" : "2005") + ")");
    }
}

TEST(ReaderFailures, PathsThatCannotBeRead)
{
    const std::string missing = BREVORN_TEST_DATA_DIR "/no-such-file.txt";
    const std::pair<std::string, std::string> cases[] = {
        {"", "cannot open a roster file: no path was given"},
        {missing, "cannot open \"" + missing + "\": No such file or directory"},
        {BREVORN_TEST_DATA_DIR, "cannot read \"" BREVORN_TEST_DATA_DIR "\": it is a folder"},
    };
    for (const auto& [path, message] : cases)
        expectFailure([&path = path](Roster& roster) { return ReadRosterFile(path, roster); }, message);
}

// Serves its bytes, then fails as a disk would.
struct FailingBuffer : std::streambuf
{
    explicit FailingBuffer(std::string bytes)
        : bytes(std::move(bytes))
    {
        setg(&this->bytes[0], &this->bytes[0], &this->bytes[0] + this->bytes.size());
    }
    int_type underflow() override { throw std::runtime_error("device error"); }
    std::string bytes;
};

TEST(ReaderFailures, ReadErrorPartWayLeavesTheRosterUnchanged)
{
    FailingBuffer buffer(unitBlocks(2) + "unit_name=Half");
    std::istream in(&buffer);
    expectFailure([&](Roster& roster) { return readRoster(in, "/mnt/usb/roster.txt", roster); },
                  "cannot read \"/mnt/usb/roster.txt\": the system reported an error part-way through the file");
}

} // namespace
} // namespace brevorn
