// How brevorn-roster takes a call: the command its arguments name, its help, and its exit code.
#include "command_line.h"
#include "roster_commands.h"
#include "roster_test_support.h"

#include <iterator>
#include <sstream>

namespace brevorn {
namespace {

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
}

// The exit code, then the first line of standard output, then the first of standard error.
std::string run(const std::string& args)
{
    std::ostringstream out, err;
    const int code = runCommandLine(words(args), out, err);
    const auto firstLine = [](const std::string& text) { return text.substr(0, text.find('\n')); };
    return std::to_string(code) + " | " + firstLine(out.str()) + " | " + firstLine(err.str());
}

TEST(CommandLine, EachCommandItsOptionsAndItsHelp)
{
    const std::string example = dataFile("example.txt");
    const std::pair<std::string, std::string> cases[] = {
        {"--version", "0 | brevorn-roster " BREVORN_VERSION " | "},
        {"--help", "0 | Checks, normalises, exports, imports and compares the roster files of Steelvane Brevorn "
                   "Builder. | "},
        {"normalize -h", "0 | Read IN as the editor loads it and write OUT as it saves | "},
        {"check " + example,
         "0 | " + example + ": 1 unit; Day_Counter \"12\", Theatre \"Desert\", Season \"Summer\" | "},
        {"check -- -no-such.txt", "2 |  | cannot open \"-no-such.txt\": No such file or directory"},
        {"export " + example, "0 | unit_name,unit_type,unit_ammo,unit_fuel,unit_quality,unit_status,unit_orders,"
                              "unit_side,unit_losses,unit_SA,unit_HE,unit_AP,unit_AA,unit_armor_type,unit_smoke\r | "},
        {"export " + example + " --format JSON", "0 | { | "},
        {"export " + example + " --bom", "0 | \xEF\xBB\xBFunit_name,unit_type,unit_ammo,unit_fuel,unit_quality,"
                                         "unit_status,unit_orders,unit_side,unit_losses,unit_SA,unit_HE,unit_AP,"
                                         "unit_AA,unit_armor_type,unit_smoke\r | "},
        {"export " + example + " --separator ;", "0 | unit_name;unit_type;unit_ammo;unit_fuel;unit_quality;"
                                                 "unit_status;unit_orders;unit_side;unit_losses;unit_SA;unit_HE;"
                                                 "unit_AP;unit_AA;unit_armor_type;unit_smoke\r | "},
        {"export " + example + " --separator tab", "0 | unit_name\tunit_type\tunit_ammo\tunit_fuel\tunit_quality\t"
                                                   "unit_status\tunit_orders\tunit_side\tunit_losses\tunit_SA\t"
                                                   "unit_HE\tunit_AP\tunit_AA\tunit_armor_type\tunit_smoke\r | "},
        {"diff " + example + " " + example, "0 |  | "},
        {"diff " + example + " " + example + " --format json", "0 | { | "},
        // Malformed calls exit 2 and say why.
        {"", "2 |  | A subcommand is required"},
        {"Check " + example, "2 |  | A subcommand is required"},
        {"check", "2 |  | FILE is required"},
        {"check -x " + example, "2 |  | The following argument was not expected: -x"},
        {"normalize in", "2 |  | OUT is required"},
        {"normalize a b c", "2 |  | The following argument was not expected: c"},
        {"export " + example + " --format xml", "2 |  | --format: xml not in {csv,json}"},
        {"export " + example + " --format json --bom", "2 |  | --bom: a byte-order mark is for CSV only"},
        {"export " + example + " -o table.json --bom", "2 |  | --bom: a byte-order mark is for CSV only"},
        // An output export refuses is named; --force does not make the roster itself one it takes.
        {"export " + example + " --force -o " + example,
         "2 |  | " + example + ": not written: it is the roster being exported (" + example +
             "), which the table would replace; give -o another file"},
        {"export " + example + " -o battle.xlsx",
         "2 |  | battle.xlsx: not written: export writes CSV or JSON text, not a spreadsheet workbook (.xlsx); write "
         "battle.csv instead, open it in the spreadsheet and save it there as .xlsx if you want one"},
        {"export " + example + " --separator :", "2 |  | --separator: needs , or ; or tab, not :"},
        {"export " + example + " --format json --separator ;", "2 |  | --separator: a separator is for CSV only"},
        {"import table.csv", "2 |  | --into is required"},
        {"import table.ods --into " + example, "2 |  | table.ods: cannot tell CSV from JSON by the file's ending; "
                                               "give --format csv or --format json"},
        {"diff " + example, "2 |  | NEW is required"},
        {"diff " + example + " no-such.txt", "2 |  | cannot open \"no-such.txt\": No such file or directory"},
        {"diff a b --format html", "2 |  | --format: html not in {text,json}"},
    };
    for (const auto& [args, want] : cases)
        EXPECT_EQ(run(args), want) << args;
}

} // namespace
} // namespace brevorn
