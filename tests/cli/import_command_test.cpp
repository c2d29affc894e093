// The import command on files: what it reads, what it reports and how much, and its exit codes.
#include "roster_commands.h"
#include "roster_test_support.h"

#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace brevorn {
namespace {

using ImportCommand = ScratchFolder;

TEST_F(ImportCommand, ReportsTheEncodingOnceThenWarningsThenTheFirstHundredProblems)
{
    writeBytes(path("roster.txt"), fileBytes(dataFile("example.txt")));
    std::string rows;
    for (int row = 2; row <= 151; ++row)
        rows += "M\xFCller,x\r\n";
    writeBytes(path("units.csv"), "unit_name,unit_ammo\r\n=SUM(B2),1\r\n" + rows);
    std::ostringstream err;
    EXPECT_EQ(importTable({path("units.csv"), std::nullopt, path("roster.txt"), path("out.txt")}, err), ExitFindings);

    std::istringstream lines(err.str());
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);)
        got.push_back(line.substr(line.find(": ") + 2));
    ASSERT_EQ(got.size(), 104u) << err.str();
    EXPECT_EQ(got[0], "read as Windows-1252, as its bytes are not UTF-8 (row 3: byte 0xFC after \"M\" is not UTF-8)");
    EXPECT_EQ(got[1], "row 2, unit_name (column A) \"=SUM(B2)\": starts as a spreadsheet formula does; a spreadsheet "
                      "that opens the table will calculate it unless the column's type is Text");
    EXPECT_EQ(got[2], "row 3, unit_ammo (column B) \"x\": needs a whole number from 0 to 10");
    EXPECT_EQ(got[101], "row 102, unit_ammo (column B) \"x\": needs a whole number from 0 to 10");
    EXPECT_EQ(got[102], "… and 50 more problems");
    EXPECT_EQ(got[103], "not written: 150 problems to mend first");
    EXPECT_FALSE(std::filesystem::exists(path("out.txt")));
}

TEST_F(ImportCommand, ReadsExcelsUnicodeTextByItsEndingAndSavesItsUnits)
{
    writeBytes(path("roster.txt"), fileBytes(dataFile("example.txt")));
    std::ostringstream err;
    EXPECT_EQ(importTable({dataFile("table-excel-unicode-text-utf16le.txt"), std::nullopt, path("roster.txt"),
                           path("roster.txt")},
                          err),
              ExitClean);
    EXPECT_EQ(err.str(), "");
    const std::string saved = fileBytes(path("roster.txt"));
    EXPECT_NE(saved.find("\r\nunit_name=Kampfgruppe M\xFC"
                         "ller\r\n"),
              std::string::npos)
        << saved;
    EXPECT_NE(saved.find("\r\nunit_type=Recon \x80\r\n"), std::string::npos) << saved;
}

// Named pipes, devices and a capped memory are POSIX matters.
#ifndef _WIN32
TEST_F(ImportCommand, APipeOrADeviceIsRefusedAtOnce)
{
    writeBytes(path("roster.txt"), fileBytes(dataFile("example.txt")));
    ASSERT_EQ(::mkfifo(path("pipe.csv").c_str(), 0600), 0);
    const std::string notRegular = "\": it is not a regular file (a pipe, a device or a socket)\n";
    std::ostringstream err;
    // Were the pipe opened, the call would wait for a writer that never comes.
    EXPECT_EQ(importTable({path("pipe.csv"), std::nullopt, path("roster.txt"), path("out.txt")}, err), ExitTrouble);
    EXPECT_EQ(importTable({"/dev/zero", TableFormat::Csv, path("roster.txt"), path("out.txt")}, err), ExitTrouble);
    EXPECT_EQ(importTable({"/dev/zero", TableFormat::Json, path("roster.txt"), path("out.txt")}, err), ExitTrouble);
    EXPECT_EQ(err.str(), "cannot read \"" + path("pipe.csv") + notRegular + "cannot read \"/dev/zero" + notRegular +
                             "cannot read \"/dev/zero" + notRegular);
    EXPECT_FALSE(std::filesystem::exists(path("out.txt")));
}

TEST_F(ImportCommand, RunningOutOfMemoryIsAMessageAndTrouble)
{
    if (!MemoryCapWorks)
        GTEST_SKIP() << "this build's allocator stops the program when memory runs out instead of throwing";
    writeBytes(path("roster.txt"), fileBytes(dataFile("example.txt")));
    writeBytes(path("huge.csv"), "unit_name\r\n" + std::string(std::size_t(24) << 20, 'n') + "\r\n");
    const std::string got = inChild([&] {
        std::ostringstream err;
        if (!capMemory(8))
            return std::string("cannot cap the memory");
        const int code = importTable({path("huge.csv"), std::nullopt, path("roster.txt"), path("out.txt")}, err);
        return std::to_string(code) + " " + err.str();
    });
    EXPECT_EQ(got, "2 cannot import \"" + path("huge.csv") + "\": there is not enough memory to read it\n");
    EXPECT_EQ(fileBytes(path("roster.txt")), fileBytes(dataFile("example.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("out.txt")));
}
#endif

} // namespace
} // namespace brevorn
