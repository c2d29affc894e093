// Argument parsing and the usage text of brevorn-roster.
#include "command_line.h"

namespace brevorn {

namespace {

bool isHelp(const std::string& arg)
{
    return arg == "--help" || arg == "-h";
}

CommandLine malformed(std::string problem)
{
    return {CliAction::Malformed, {}, std::move(problem)};
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    if (args.empty())
        return malformed("no command given");

    const std::string& first = args.front();
    if (isHelp(first) || first == "--version") {
        if (args.size() > 1)
            return malformed(first + " takes no further arguments");
        return {isHelp(first) ? CliAction::Help : CliAction::Version, {}, {}};
    }

    CommandLine line;
    if (first == "check")
        line.action = CliAction::Check;
    else if (first == "normalize")
        line.action = CliAction::Normalize;
    else
        return malformed("unknown command '" + first + "'");

    // After "--" every argument is a file, so that a file whose name starts with '-' can be named.
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && isHelp(arg)) {
            return {CliAction::Help, {}, {}};
        } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            return malformed("unknown option '" + arg + "'");
        } else {
            line.operands.push_back(arg);
        }
    }

    if (line.action == CliAction::Check && line.operands.empty())
        return malformed("check needs at least one FILE");
    if (line.action == CliAction::Normalize && line.operands.size() != 2)
        return malformed("normalize needs exactly two files, IN and OUT");
    return line;
}

std::string_view usageText()
{
    return R"(Usage: brevorn-roster check FILE...
       brevorn-roster normalize IN OUT
       brevorn-roster --help | --version

Commands:
  check FILE...     Read each roster file as the editor loads it. Prints on standard
                    output, per file, the number of units and the three game settings.
                    Reports on standard error every ignored item, an unfinished last
                    unit block, and every value that saving would refuse.
  normalize IN OUT  Read IN as the editor loads it and write OUT as the editor saves
                    it. OUT may be IN. When a value cannot be saved, every such value
                    is reported and OUT is left as it was.

Options:
  -h, --help        Show this help and exit.
  --version         Show the version and exit.
  --                Treat every later argument as a file.

Exit status:
  0  no findings (check), OUT written (normalize)
  1  some file has a finding (check), a value cannot be saved (normalize)
  2  a file cannot be read or written, a file holds more than 500 units,
     or the call is malformed
)";
}

} // namespace brevorn
