// Reading roster files: the item grammar, what the reader reports, and reads that fail leaving the roster alone.
#include "item_scanner.h"
#include "roster_reader.h"
#include "roster_test_support.h"
#include "unit_fields.h"

#include <map>
#include <memory>
#include <sstream>

#include <stdexcept>
#include <sys/stat.h>
#include <vector>

namespace brevorn {
namespace {

// "UnitCount/next slot day=.. theatre=.. season=.. | slot:field=text,...": the game texts the read gave,
// then every slot that holds something with its non-empty texts and set counts (keys short of "unit_").
std::string dump(const Roster& roster, const RosterReadResult& read)
{
    std::string out = std::to_string(roster.UnitCount) + "/" + std::to_string(read.nextSlot);
    for (const auto& [key, text] :
         {std::pair{" day=", &read.Day_Counter}, {" theatre=", &read.Theatre}, {" season=", &read.Season}})
        out += *text ? key + **text : "";
    for (std::size_t slot = 1; slot < SlotCount; ++slot) {
        std::string fields;
        for (const UnitField& field : unitFields) {
            const UnitRecord& unit = roster.UnitTable[slot];
            if (field.kind == FieldKind::Count ? (unit.*field.count).has_value() : !fieldText(unit, field).empty())
                fields.append(fields.empty() ? "" : ",")
                    .append(field.key.substr(5))
                    .append("=")
                    .append(fieldText(unit, field));
        }
        out += fields.empty() ? "" : " | " + std::to_string(slot) + ":" + fields;
    }
    return out;
}

// The dump of what the read leaves in a roster that already holds something, so that what a read
// leaves alone shows; or "error: " and its message, once it is checked that the roster was left as it was.
template <class ReadFunction>
std::string outcome(ReadFunction read)
{
    auto roster = std::make_unique<Roster>();
    roster->UnitTable[1].unit_name = "old";
    roster->UnitTable[1].unit_ammo = "4";
    roster->UnitCount = 7;
    const auto before = std::make_unique<Roster>(*roster);
    const Expected<RosterReadResult> result = read(*roster);
    if (result)
        return dump(*roster, result.value());
    EXPECT_TRUE(*roster == *before) << "the failed read changed the roster";
    return "error: " + result.error().message;
}

// What the read leaves (see outcome); with report, also its findings as "line: message [kind]" and the lines
// the stored values came from, as "values: line:slot.key ...".
std::string readOutcome(const std::string& bytes, bool report = false)
{
    using Kind = ReaderFinding::Kind;
    static const std::map<Kind, std::string> kinds = {{Kind::IgnoredItem, "ignored item"},
                                                      {Kind::UnclosedQuote, "unclosed quote"},
                                                      {Kind::UnfinishedBlock, "unfinished block"},
                                                      {Kind::CutAtComma, "cut at comma"}};
    std::istringstream in(bytes);
    std::string findings, values = "values:";
    const std::string left = outcome([&](Roster& roster) {
        return readRoster(
            in, "/r/t.txt", roster,
            [&](const ReaderFinding& finding) {
                findings +=
                    std::to_string(finding.line) + ": " + finding.message + " [" + kinds.at(finding.kind) + "]\n";
            },
            [&](const ValueSource& source) {
                values += " " + std::to_string(source.line) + ":" + std::to_string(source.slot) + "." +
                          std::string(source.key);
            });
    });
    return report ? left + "\n" + findings + values + "\n" : left;
}

std::string unitBlocks(int count)
{
    std::string bytes = "GAME:\r\nDay_Counter=1\r\n\r\nUNITS:\r\n";
    for (int unit = 1; unit <= count; ++unit)
        bytes += "unit_name=Unit " + std::to_string(unit) + "\r\nunit_armored=Yes\r\nunit_used=no\r\n\r\n";
    return bytes;
}

TEST(ReaderGrammar, ItemsSectionsKeysAndCompletedUnits)
{
    // Bytes -> what the roster then holds; "@name" reads the test data file of that name.
    const std::pair<const char*, const char*> cases[] = {
        {"UNITS:\r\nunit_name=Smith, J.\r\nunit_used=no\r\n", "1/2 | 1:name=Smith,ammo=4"},
        {"UNITS:\r\n\"unit_name=Smith, J.\"\r\nunit_used=no\r\n", "1/2 | 1:name=Smith, J.,ammo=4"},
        {"UNITS:\r\n  \"unit_name=a\r\nb\"\r\nunit_used=no\r\n", "1/2 | 1:name=a\r\nb,ammo=4"},
        {"UNITS:\r\n\"unit_name=A\" dropped,unit_side=B\r\nunit_used=no\r\n", "1/2 | 1:name=A,ammo=4,side=B"},
        {"UNITS:\r\nunit_name=6\" gun\r\nunit_used=no\r\n", "1/2 | 1:name=6\" gun,ammo=4"},
        {"UNITS:\r\n \t unit_name=A \t\r\nunit_used=no\r\n", "1/2 | 1:name=A \t,ammo=4"},
        {"UNITS:\r\nunit_name=A name that runs on past the first look, cut\r\nunit_used=no\r\n",
         "1/2 | 1:name=A name that runs on past the first look,ammo=4"},
        {"UNITS:\r\nunit_side=A side that runs on past the first look\runit_name=N,x\nunit_used=no",
         "1/2 | 1:name=N,ammo=4,side=A side that runs on past the first look"},
        {"UNITS:\r\nunit_name=a=b\r\nunit_ammo=\r\nunit_fuel=07\r\nunit_used=no\r\n", "1/2 | 1:name=a=b,ammo=,fuel=07"},
        {"UNITS:\r\nunit_name=\r\nunit_losses=1\r\nunit_used=no\r\n", "1/2 | 1:ammo=4,losses=1"},
        {"UNITS:\r\nunit_name =A\r\nUnit_name=B\r\n=unit_name=C\r\nunit_used=no", "1/2 | 1:name=old,ammo=4"},
        {"UNITS:\r\nunit_armored=No\r\nSeason=Dry\r\nunit_name\r\nunit_used=no", "1/2 | 1:name=old,ammo=4"},
        {"UNITS:\r\nunit_name=A\r\nunit_name=B\r\nunit_used=no\r\n", "1/2 | 1:name=B,ammo=4"},
        {"UNITS:\r\nunit_side=S\nunit_name=A\nunit_used=no\r\n", "1/2 | 1:name=A,ammo=4,side=S"},
        {"UNITS:\r\nunit_name=A\runit_side=S\runit_used=no\r\n", "1/2 | 1:name=A,ammo=4,side=S"},
        {"UNITS:\r\n\r\n\n\r\r\n,,unit_name=A\r\n\r\nunit_used=no\r\n", "1/2 | 1:name=A,ammo=4"},
        {"UNITS:\r\nunit_name=Caf\xE9 \x80\x81\r\nunit_used=", "1/2 | 1:name=Caf\xC3\xA9 \xE2\x82\xAC\xC2\x81,ammo=4"},
        {"GAME:\r\nDay_Counter=5", "7/1 day=5 | 1:name=old,ammo=4"},
        {" \t GAME:\r\nDay_Counter=5\r\n", "7/1 day=5 | 1:name=old,ammo=4"},
        {"\"GAME:\",Day_Counter=5\r\n", "7/1 day=5 | 1:name=old,ammo=4"},
        {"game:\r\nunit_used=\r\nDay_Counter=5", "7/1 | 1:name=old,ammo=4"},
        {"GAME: \r\nunit_used=\r\nDay_Counter=5", "7/1 | 1:name=old,ammo=4"},
        {"Day_Counter=5\r\nunit_used=\r\nGAME:\r\n", "7/1 | 1:name=old,ammo=4"},
        {"GAME:\r\nDay_Counter=5\r\nUNITS:\r\nGAME:\r\nDay_Counter=07", "7/1 day=07 | 1:name=old,ammo=4"},
        {"GAME:\r\nTheatre=\r\nSeason=Dry\r\nunit_used=no", "7/1 theatre= season=Dry | 1:name=old,ammo=4"},
        {"UNITS:\r\nunit_used\r\nunit_used =no\r\n", "7/1 | 1:name=old,ammo=4"},
        {"UNITS:\r\nunit_used=\r\n", "1/2 | 1:name=old,ammo=4"},
        {"UNITS:\r\nunit_used=yes\r\nGAME:\r\nunit_used=no\r\nUNITS:\r\nunit_name=B\r\nunit_used=no",
         "2/3 | 1:name=old,ammo=4 | 2:name=B"},
        {"UNITS:\r\n\"unit_name=A\r\nunit_used=no\r\n", "7/1 | 1:name=A\r\nunit_used=no\r\n,ammo=4"},
        {"@empty.txt", "7/1 | 1:name=old,ammo=4"},
        {"@no-sections.txt", "7/1 | 1:name=old,ammo=4"},
        {"@last-block-without-used.txt", "1/2 day=3 theatre=Desert season=Winter | "
                                         "1:name=Alpha,ammo=2,side=Blue | 2:name=Bravo,side=Red,losses=1"},
    };
    for (const auto& [bytes, want] : cases)
        EXPECT_EQ(readOutcome(bytes[0] == '@' ? fileBytes(dataFile(bytes + 1)) : bytes), want) << bytes;
}

// Each roster in tests/data/read gives its report (see readOutcome) in NAME.expected.txt.
TEST(ReaderGrammar, EachFileGivesWhatItLeavesItsFindingsAndTheLinesOfItsValues)
{
    for (const std::filesystem::path& file : goldenCases("read", 2))
        EXPECT_EQ(readOutcome(fileBytes(file.string()), true), expectedOf(file)) << file.filename().string();
}

TEST(ReaderGrammar, ItemsAcrossChunkEndsReadTheSame)
{
    // Move the unit lines, and the CR LF before them, across the end of the first chunk one byte at a time.
    const std::size_t chunk = ItemScanner::DefaultChunkSize;
    const std::string units = "\r\nUNITS:\r\n\"unit_name=Caf\xE9,\r\n1\"\r\nbad\r\nunit_used=no\r\n";
    const std::string want =
        "1/2 | 1:name=Caf\xC3\xA9,\r\n1,ammo=4\n2: ignored \"" + std::string(60, 'x') +
        "...\": not a key of the game section [ignored item]\n"
        "6: ignored \"bad\": not a key of the unit section [ignored item]\nvalues: 4:1.unit_name\n";
    for (std::size_t pad = chunk - 40; pad <= chunk + 1; ++pad)
        EXPECT_EQ(readOutcome("GAME:\r\n" + std::string(pad - 9, 'x') + units, true), want) << pad;
    // A value cut at a comma past the end of the first chunk; an item of several chunks kept whole.
    EXPECT_EQ(readOutcome("GAME:\r\nTheatre=" + std::string(chunk, 'x') + ", rest\r\n", true),
              "7/1 theatre=" + std::string(chunk, 'x') + " | 1:name=old,ammo=4\n2: Theatre \"" + std::string(60, 'x') +
                  "...\" (\", rest\" after the comma is ignored) [cut at comma]\nvalues: 2:0.Theatre\n");
    const std::string name(3 * chunk, 'n');
    EXPECT_EQ(readOutcome("UNITS:\r\nunit_name=" + name + "\xE9\r\nunit_used=no\r\n"),
              "1/2 | 1:name=" + name + "\xC3\xA9,ammo=4");
}

// Serves its bytes, then fails as a disk would.
struct FailingBuffer : std::stringbuf
{
    using std::stringbuf::stringbuf;
    int_type underflow() override { throw std::runtime_error("device error"); }
};

TEST(ReaderFailures, LeaveTheRosterAsItWasAndSayWhy)
{
    // Five hundred units fit, and what needs no slot may follow them.
    const std::string got =
        readOutcome(unitBlocks(500) + "junk=1\r\nunit_used\r\nSeason=Dry\r\nGAME:\r\nunit_name=x\r\n");
    const std::string head = "500/501 day=1 | 1:name=Unit 1,ammo=4 | 2:", tail = " | 500:name=Unit 500";
    EXPECT_EQ(got.substr(0, head.size()), head);
    EXPECT_EQ(got.substr(got.size() - tail.size()), tail);

    // Any unit key after the 500th block has no slot; that block ends on line 4 + 4 * 500.
    const std::string over = "\"/r/t.txt\" holds more than 500 units; the editor holds at most 500 (the 501st starts";
    for (const auto& [tail, line] : {std::pair{"unit_name=x", "2005"},
                                     {"unit_armored=Yes", "2005"},
                                     {"unit_used=no", "2005"},
                                     {"\r\n  \"unit_smoke=No\"", "2006"}})
        EXPECT_EQ(readOutcome(unitBlocks(500) + tail), "error: " + over + " on line " + line + ")");

    const std::string missing = dataFile("no-such-file.txt");
    const std::pair<std::string, std::string> paths[] = {
        {"", "cannot open a roster file: no path was given"},
        {missing, "cannot open \"" + missing + "\": No such file or directory"},
        {BREVORN_TEST_DATA_DIR, "cannot read \"" BREVORN_TEST_DATA_DIR "\": it is a folder"},
    };
    for (const auto& path : paths)
        EXPECT_EQ(outcome([&](Roster& roster) { return ReadRosterFile(path.first, roster); }), "error: " + path.second);

    FailingBuffer buffer(unitBlocks(2) + "unit_name=Half", std::ios::in);
    std::istream in(&buffer);
    EXPECT_EQ(outcome([&](Roster& roster) { return readRoster(in, "/mnt/usb/roster.txt", roster); }),
              "error: cannot read \"/mnt/usb/roster.txt\": the system reported an error part-way through the file");
}

// Serves a unit section whose first value never ends.
struct EndlessValue : std::streambuf
{
    std::string head = "UNITS:\r\nunit_name=";
    std::string body = std::string(64 * 1024, 'v');
    bool started = false;
    int_type underflow() override
    {
        std::string& next = started ? body : head;
        started = true;
        setg(next.data(), next.data(), next.data() + next.size());
        return traits_type::to_int_type(next[0]);
    }
};

// Capping the memory of a child process takes fork and setrlimit, which Windows lacks.
#ifndef _WIN32
TEST(ReaderFailures, RunningOutOfMemoryIsAnErrorThatLeavesTheRosterAsItWas)
{
    if (!MemoryCapWorks)
        GTEST_SKIP() << "this build's allocator stops the program when memory runs out instead of throwing";
    const std::string got = inChild([] {
        auto roster = std::make_unique<Roster>();
        roster->UnitCount = 3;
        const auto before = std::make_unique<Roster>(*roster);
        EndlessValue endless;
        std::istream in(&endless);
        if (!capMemory(64))
            return std::string("cannot cap the memory");
        const Expected<RosterReadResult> read = readRoster(in, "/r/endless.txt", *roster);
        return messageOf(read) + (*roster == *before ? "" : " (the roster changed)");
    });
    EXPECT_EQ(got, "cannot read \"/r/endless.txt\": there is not enough memory to hold its contents");
}
#endif

// Named pipes, /dev/zero and symbolic links made by any user are POSIX matters.
#ifndef _WIN32
using ReaderFiles = ScratchFolder;

TEST_F(ReaderFiles, OnlyRegularFilesAreReadAndAPipeIsRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink(dataFile("example.txt"), dir / "link");
    const std::string notRegular = "\": it is not a regular file (a pipe, a device or a socket)";
    EXPECT_EQ(outcome([&](Roster& roster) { return ReadRosterFile(path("pipe"), roster); }),
              "error: cannot read \"" + path("pipe") + notRegular);
    EXPECT_EQ(outcome([&](Roster& roster) { return ReadRosterFile("/dev/zero", roster); }),
              "error: cannot read \"/dev/zero" + notRegular);
    EXPECT_EQ(outcome([&](Roster& roster) { return ReadRosterFile(path("link"), roster); }).substr(0, 4), "1/2 ");
}
#endif

} // namespace
} // namespace brevorn
