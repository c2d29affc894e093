// Turning the tool's arguments into the one action they ask for.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevorn {

enum class CliAction { Check, Normalize, Help, Version, Malformed };

struct CommandLine
{
    CliAction action = CliAction::Malformed;
    std::vector<std::string> operands; // the files, in the order given
    std::string problem;               // why a malformed call is malformed
};

// args are the arguments after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

std::string_view usageText();

} // namespace brevorn
