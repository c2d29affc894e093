// brevorn-roster on POSIX: the arguments' bytes go to the command line as they are, and its exit code to the shell.
#include "command_line.h"
#include "uncaught_failure.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> args;
    try {
        args.assign(argv + 1, argv + argc);
        return brevorn::runCommandLine(args, std::cout, std::cerr);
    } catch (...) {
        return brevorn::reportUncaughtFailure(args.empty() ? "" : args.front(), std::cerr);
    }
}
