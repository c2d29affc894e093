// The built brevorn-roster program as a shell script sees it: its exit codes and standard output.
#include "cli_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

namespace brevorn {
namespace {

using namespace brevorn::testing;

struct ProgramRun
{
    int code = -1;
    std::string out;
};

// Standard error is dropped: the messages are tested on the commands themselves.
ProgramRun runProgram(const std::string& arguments)
{
    ProgramRun run;
    const std::string command = "'" BREVORN_CLI_PROGRAM "' " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string quoted(const std::string& path)
{
    return "'" + path + "'";
}

TEST(Program, HelpAndVersionExitZeroAndMalformedCallsTwo)
{
    const ProgramRun version = runProgram("--version");
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "brevorn-roster " BREVORN_VERSION "\n");
    const ProgramRun help = runProgram("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: brevorn-roster")) << help.out;

    for (const char* call : {"", "frobnicate", "check", "normalize only-one", "check -q x"}) {
        const ProgramRun run = runProgram(call);
        EXPECT_EQ(run.code, 2) << call;
        EXPECT_EQ(run.out, "") << call << ": the usage of a malformed call goes to standard error";
    }
}

TEST(Program, CommandsHandTheirExitCodesToTheShell)
{
    const auto out = std::filesystem::temp_directory_path() / "brevorn-cli-program-out.txt";
    std::filesystem::remove(out);
    EXPECT_EQ(runProgram("check " + quoted(dataFile("example.txt"))).code, 0);
    EXPECT_EQ(runProgram("check " + quoted(dataFile("cli-ignored-items.txt"))).code, 1);
    EXPECT_EQ(runProgram("normalize " + quoted(dataFile("cli-values-refused.txt")) + " " + quoted(out)).code, 1);
    EXPECT_EQ(runProgram("normalize " + quoted(dataFile("no-such-roster.txt")) + " " + quoted(out)).code, 2);
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace brevorn
