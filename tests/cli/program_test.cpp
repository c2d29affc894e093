// The built program run as a shell runs it: the exit code reaches the shell, messages stay off standard output.
#include "roster_commands.h"
#include "roster_test_support.h"

#include <cstdio>
#include <tuple>

#include <sys/wait.h>

namespace brevorn {
namespace {

TEST(Program, HandsItsExitCodeToTheShellAndKeepsMessagesOffStandardOutput)
{
    const std::string unfinished = dataFile("cli-unfinished-last-block.txt");
    const std::string example = dataFile("example.txt");
    const std::tuple<std::string, int, std::string> runs[] = {
        {"--version", ExitClean, "brevorn-roster " BREVORN_VERSION "\n"},
        {"check '" + unfinished + "'", ExitFindings,
         unfinished + ": 1 unit; Day_Counter \"3\", Theatre \"Desert\", Season \"Winter\"\n"},
        {"normalize only-one", ExitTrouble, ""},
        {"diff '" + example + "' '" + unfinished + "'", ExitFindings,
         "Day_Counter \"12\" → \"3\"\nSeason \"Summer\" → \"Winter\"\nremoved unit 1 \"1st Platoon - Blue\"\n"
         "added unit 1 \"Able - \"\n"},
    };
    for (const auto& [args, code, out] : runs) {
        FILE* pipe = ::popen(("'" BREVORN_CLI_PROGRAM "' " + args + " 2>/dev/null").c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string got;
        for (int c; (c = std::fgetc(pipe)) != EOF;)
            got += static_cast<char>(c);
        const int status = ::pclose(pipe);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, code) << args;
        EXPECT_EQ(got, out) << args;
    }
}

} // namespace
} // namespace brevorn
