// How brevorn-roster takes a call: the action its arguments ask for, and the exit code the shell sees.
#include "command_line.h"
#include "roster_commands.h"
#include "roster_test_support.h"

#include <cstdio>
#include <iterator>
#include <sstream>
#include <tuple>

#include <sys/wait.h>

namespace brevorn {
namespace {

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
}

TEST(CommandLine, ArgumentsGiveOneActionAndItsFiles)
{
    using A = CliAction;
    // The arguments -> the action and its files, both split at blanks.
    // clang-format off
    const std::tuple<const char*, CliAction, const char*> cases[] = {
        {"--help", A::Help, ""}, {"-h", A::Help, ""}, {"--version", A::Version, ""}, {"check --help", A::Help, ""},
        {"normalize a -h", A::Help, ""}, {"check b a b", A::Check, "b a b"}, {"normalize i o", A::Normalize, "i o"},
        {"check - -- -odd --help", A::Check, "- -odd --help"}, {"", A::Malformed, ""}, {"check", A::Malformed, ""},
        {"check --", A::Malformed, ""}, {"normalize in", A::Malformed, ""}, {"normalize a b c", A::Malformed, ""},
        {"check -x a", A::Malformed, ""}, {"check a --verbose", A::Malformed, ""}, {"Check a", A::Malformed, ""},
        {"--version check", A::Malformed, ""}};
    // clang-format on
    for (const auto& [args, action, files] : cases) {
        const CommandLine line = parseCommandLine(words(args));
        EXPECT_EQ(line.action, action) << args;
        EXPECT_EQ(line.operands, words(files)) << args;
        EXPECT_EQ(line.problem.empty(), action != A::Malformed) << args << ": " << line.problem;
    }
}

TEST(Program, HandsItsExitCodeToTheShellAndKeepsUsageOffStandardOutputWhenCalledAmiss)
{
    const std::string unfinished = dataFile("cli-unfinished-last-block.txt");
    const std::tuple<std::string, int, std::string> runs[] = {
        {"--version", ExitClean, "brevorn-roster " BREVORN_VERSION "\n"},
        {"--help", ExitClean, std::string(usageText())},
        {"check '" + unfinished + "'", ExitFindings,
         unfinished + ": 1 unit; Day_Counter \"3\", Theatre \"Desert\", Season \"Winter\"\n"},
        {"normalize only-one", ExitTrouble, ""},
        {"normalize /no/such/roster.txt out.txt", ExitTrouble, ""},
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
