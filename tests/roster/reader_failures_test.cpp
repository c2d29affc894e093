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
    // Line 5 + 4 * 500 is the first line after the 500th block.
    for (const char* tail : {"unit_name=x", "unit_armored=Yes", "unit_used=no", "\r\n  \"unit_smoke=No\""}) {
        auto roster = heldRoster();
        const Roster before = *roster;
        std::istringstream in(unitBlocks(500) + tail);
        auto read = readRoster(in, "/path/big.txt", *roster);
        ASSERT_FALSE(read.ok()) << tail;
        int line = tail[0] == '\r' ? 2006 : 2005;
        EXPECT_EQ(read.error().message, "\"/path/big.txt\" holds more than 500 units; the editor holds at most 500 "
                                        "(the 501st starts on line " +
                                            std::to_string(line) + ")");
        EXPECT_TRUE(*roster == before) << tail;
    }
}

TEST(ReaderFailures, PathsThatCannotBeRead)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "cannot open a roster file: no path was given"},
        {BREVORN_TEST_DATA_DIR "/no-such-file.txt",
         "cannot open \"" BREVORN_TEST_DATA_DIR "/no-such-file.txt\": No such file or directory"},
        {BREVORN_TEST_DATA_DIR, "cannot read \"" BREVORN_TEST_DATA_DIR "\": it is a folder"},
    };
    for (const auto& [path, message] : cases) {
        auto roster = heldRoster();
        const Roster before = *roster;
        auto read = ReadRosterFile(path, *roster);
        ASSERT_FALSE(read.ok()) << path;
        EXPECT_EQ(read.error().message, message);
        EXPECT_TRUE(*roster == before) << path;
    }
}

// Serves the first bytes of a text, then fails as a disk would.
class FailingBuffer : public std::streambuf
{
public:
    explicit FailingBuffer(std::string bytes)
        : m_bytes(std::move(bytes))
    {
        setg(m_bytes.data(), m_bytes.data(), m_bytes.data() + m_bytes.size());
    }

protected:
    int_type underflow() override { throw std::runtime_error("device error"); }

private:
    std::string m_bytes;
};

TEST(ReaderFailures, ReadErrorPartWayLeavesTheRosterUnchanged)
{
    FailingBuffer buffer(unitBlocks(2) + "unit_name=Half");
    std::istream in(&buffer);
    auto roster = heldRoster();
    const Roster before = *roster;
    auto read = readRoster(in, "/mnt/usb/roster.txt", *roster);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().message,
              "cannot read \"/mnt/usb/roster.txt\": the system reported an error part-way through the file");
    EXPECT_TRUE(*roster == before);
}

TEST(ReaderFailures, FilesWithoutSectionsChangeNothing)
{
    for (const char* name : {"/empty.txt", "/no-sections.txt"}) {
        auto roster = heldRoster();
        const Roster before = *roster;
        auto read = ReadRosterFile(BREVORN_TEST_DATA_DIR + std::string(name), *roster);
        ASSERT_TRUE(read.ok()) << name;
        EXPECT_EQ(read.value().nextSlot, 1);
        EXPECT_EQ(read.value().Day_Counter, std::nullopt);
        EXPECT_TRUE(*roster == before) << name;
    }
}

} // namespace
} // namespace brevorn
