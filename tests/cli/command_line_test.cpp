// Which action a call asks for, and which calls are malformed.
#include "command_line.h"

#include <gtest/gtest.h>

namespace brevorn {
namespace {

struct CallCase
{
    std::vector<std::string> args;
    CliAction action;
    std::vector<std::string> operands;
    friend void PrintTo(const CallCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.args); }
};

class CommandLineTest : public ::testing::TestWithParam<CallCase>
{
};

TEST_P(CommandLineTest, YieldsActionAndFiles)
{
    const CallCase& call = GetParam();
    const CommandLine line = parseCommandLine(call.args);
    EXPECT_EQ(line.action, call.action);
    EXPECT_EQ(line.operands, call.operands);
    // A malformed call always says why, and only a malformed one does.
    EXPECT_EQ(line.problem.empty(), call.action != CliAction::Malformed) << line.problem;
}

using A = CliAction;
INSTANTIATE_TEST_SUITE_P(
    Calls, CommandLineTest,
    ::testing::Values(
        CallCase{{"--help"}, A::Help, {}}, CallCase{{"-h"}, A::Help, {}}, CallCase{{"--version"}, A::Version, {}},
        CallCase{{"check", "--help"}, A::Help, {}}, CallCase{{"normalize", "a", "-h"}, A::Help, {}},
        CallCase{{"check", "a"}, A::Check, {"a"}}, CallCase{{"check", "b", "a", "b"}, A::Check, {"b", "a", "b"}},
        CallCase{{"check", "--", "-odd", "--help"}, A::Check, {"-odd", "--help"}},
        CallCase{{"check", "-"}, A::Check, {"-"}}, CallCase{{"normalize", "in", "out"}, A::Normalize, {"in", "out"}},
        CallCase{{"normalize", "same", "same"}, A::Normalize, {"same", "same"}}, CallCase{{}, A::Malformed, {}},
        CallCase{{"check"}, A::Malformed, {}}, CallCase{{"check", "--"}, A::Malformed, {}},
        CallCase{{"normalize", "in"}, A::Malformed, {}}, CallCase{{"normalize", "a", "b", "c"}, A::Malformed, {}},
        CallCase{{"check", "-x", "a"}, A::Malformed, {}}, CallCase{{"check", "a", "--verbose"}, A::Malformed, {}},
        CallCase{{"--version", "check"}, A::Malformed, {}}, CallCase{{"Check", "a"}, A::Malformed, {}},
        CallCase{{"a.txt"}, A::Malformed, {}}));

} // namespace
} // namespace brevorn
