// brevorn-roster: hands the arguments to the command line and its exit code to the shell.
#include "command_line.h"
#include "standard_output.h"

#include <iostream>

int main(int argc, char** argv)
{
    // Tables go out byte for byte: CR LF row ends must not gain a CR on the way.
    brevorn::setStandardOutputBinary();
    return brevorn::runCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
