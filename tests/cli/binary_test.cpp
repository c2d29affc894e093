// The built brevorn-roster program: what a shell script sees of it, its exit codes.
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

// Standard error is dropped; the commands' messages are tested without a process.
ProgramRun runProgram(const std::string& arguments)
{
    const std::string command = "'" BREVORN_CLI_PROGRAM "' " + arguments + " 2>/dev/null";
    ProgramRun run;
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

TEST(Program, HelpAndVersionExitZeroAndMalformedCallsTwo)
{
    EXPECT_EQ(runProgram("--version").out, "brevorn-roster " BREVORN_VERSION "\n");
    EXPECT_EQ(runProgram("--version").code, 0);
    const ProgramRun help = runProgram("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: brevorn-roster")) << help.out;

    for (const char* call : {"", "frobnicate", "check", "normalize only-one", "check -q x"}) {
        const ProgramRun run = runProgram(call);
        EXPECT_EQ(run.code, 2) << call;
        EXPECT_EQ(run.out, "") << call << ": usage belongs on standard error";
    }
}

TEST(Program, CommandsPassTheirExitCodesOn)
{
    const std::string example = "'" + dataFile("example.txt") + "'";
    EXPECT_EQ(runProgram("check " + example).code, 0);
    EXPECT_EQ(runProgram("check '" + dataFile("cli-ignored-items.txt") + "'").code, 1);
    EXPECT_EQ(runProgram("check " + example + " '" + dataFile("no-such-roster.txt") + "'").code, 2);

    const auto out = std::filesystem::temp_directory_path() / "brevorn-cli-program-out.txt";
    EXPECT_EQ(runProgram("normalize '" + dataFile("cli-values-refused.txt") + "' '" + out.string() + "'").code, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    std::filesystem::remove(out);
}

} // namespace
} // namespace brevorn
