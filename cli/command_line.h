// The command line of brevorn-roster: its commands and options, read with CLI11.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brevorn {

// Runs the command the arguments (those after the program's name) ask for. Help and the
// version go to out, a malformed call is explained on err; returns the exit code.
int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace brevorn
