// brevorn-roster: reads the arguments and hands them to the command they name.
#include "command_line.h"
#include "roster_commands.h"

#include <iostream>

int main(int argc, char** argv)
{
    using namespace brevorn;

    const CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
    case CliAction::Check:
        return checkRosterFiles(line.operands, std::cout, std::cerr);
    case CliAction::Normalize:
        return normalizeRosterFile(line.operands[0], line.operands[1], std::cerr);
    case CliAction::Help:
        std::cout << usageText();
        return ExitClean;
    case CliAction::Version:
        std::cout << "brevorn-roster " BREVORN_VERSION "\n";
        return ExitClean;
    case CliAction::Malformed:
        break;
    }
    std::cerr << "brevorn-roster: " << line.problem << "\n\n" << usageText();
    return ExitTrouble;
}
