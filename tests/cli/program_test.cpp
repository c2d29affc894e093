// The built program run as a shell runs it: the exit code reaches the shell, messages stay off standard output.
#include "roster_commands.h"
#include "roster_test_support.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace brevorn {
namespace {

struct ProgramRun
{
    int exitCode = -1; // -1 when the program did not end by itself
    std::string out;
};

// The way the platform's shell quotes one argument.
std::string shellQuoted(const std::string& argument)
{
#ifdef _WIN32
    const char quote = '"';
#else
    const char quote = '\'';
#endif
    return quote + argument + quote;
}

// Runs the built program through the platform's shell, as a script would, and keeps its
// standard output; what it writes to standard error is dropped.
ProgramRun runProgram(const std::string& args)
{
#ifdef _WIN32
    // cmd.exe takes the whole line in one more pair of quotes.
    const std::string line = shellQuoted(shellQuoted(BREVORN_CLI_PROGRAM) + " " + args + " 2>NUL");
    FILE* pipe = ::_popen(line.c_str(), "rb");
#else
    const std::string line = shellQuoted(BREVORN_CLI_PROGRAM) + " " + args + " 2>/dev/null";
    FILE* pipe = ::popen(line.c_str(), "r");
#endif
    ProgramRun run;
    if (!pipe)
        return run;
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        run.out += static_cast<char>(c);
#ifdef _WIN32
    // _pclose gives the exit code itself; lines on the console end in CR LF.
    run.exitCode = ::_pclose(pipe);
    std::erase(run.out, '\r');
#else
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return run;
}

TEST(Program, HandsItsExitCodeToTheShellAndKeepsMessagesOffStandardOutput)
{
    const std::string unfinished = dataFile("cli-unfinished-last-block.txt");
    const std::tuple<std::string, int, std::string> runs[] = {
        {"--version", ExitClean, "brevorn-roster " BREVORN_VERSION "\n"},
        {"check " + shellQuoted(unfinished), ExitFindings,
         unfinished + ": 1 unit; Day_Counter \"3\", Theatre \"Desert\", Season \"Winter\"\n"},
        {"normalize only-one", ExitTrouble, ""},
        // What reaches the terminal holds no escape sequence of a value.
        {"diff " + shellQuoted(dataFile("cli-diff-turn-1.txt")) + " " +
             shellQuoted(dataFile("cli-diff-renamed-moved-escapes.txt")),
         ExitFindings, fileBytes(dataFile("cli-diff-renamed-moved-escapes.expected.txt"))},
    };
    for (const auto& [args, code, out] : runs) {
        const ProgramRun run = runProgram(args);
        EXPECT_EQ(run.exitCode, code) << args;
        EXPECT_EQ(run.out, out) << args;
    }
}

} // namespace
} // namespace brevorn
