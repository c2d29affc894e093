// Commands, options and help of brevorn-roster, declared for CLI11.
#include "command_line.h"

#include "path_text.h"
#include "roster_commands.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iterator>
#include <map>

namespace brevorn {

namespace {

constexpr const char* ExitStatusCheck = R"(Exit status:
  0  no file has a finding
  1  some file has a finding
  2  a file cannot be read or holds more than 500 units, or the call is malformed)";

constexpr const char* ExitStatusSave = R"(Exit status:
  0  OUT written
  1  a value cannot be saved; OUT is left as it was
  2  a file cannot be read or written, or the call is malformed)";

constexpr const char* ExitStatusImport = R"(Exit status:
  0  OUT (by default ROSTER) written
  1  the table has a problem or holds a value that cannot be saved; no file is touched
  2  a file cannot be read or written, or the call is malformed)";

constexpr const char* ExitStatusExport = R"(Exit status:
  0  the table written
  2  ROSTER cannot be read, FILE cannot be written or is refused (ROSTER itself, another
     roster without --force, a workbook's ending such as .xlsx), or the call is malformed)";

constexpr const char* ExitStatusDiff = R"(Exit status, as for diff(1):
  0  the rosters are the same
  1  they differ
  2  a file cannot be read, or the call is malformed)";

// csv or json, in any case, shown in the help as "csv|json".
CLI::Option* tableFormatOption(CLI::App& command, std::string& format, const std::string& description)
{
    return command.add_option("--format", format, description)
        ->transform(CLI::IsMember({"csv", "json"}, CLI::ignore_case).description(""))
        ->type_name("csv|json");
}

TableFormat tableFormat(const std::string& name)
{
    return name == "json" ? TableFormat::Json : TableFormat::Csv;
}

} // namespace

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    CLI::App app{"Checks, normalises, exports, imports and compares the roster files of Steelvane Brevorn Builder.",
                 "brevorn-roster"};
    app.set_version_flag("--version", "brevorn-roster " BREVORN_VERSION, "Show the version and exit");
    app.require_subcommand(1);
    app.footer("Run brevorn-roster COMMAND --help for a command's options and exit status.");

    // Paths are kept as the UTF-8 the arguments are and made into paths by pathFromUtf8:
    // CLI11 would make them from a narrow string, which Windows reads in its ANSI code page.
    std::vector<std::string> checkFiles;
    CLI::App* check = app.add_subcommand("check", "Read each roster file as the editor loads it and report what it "
                                                  "would pass over or refuse to save");
    check->add_option("FILE", checkFiles, "Roster files; put -- before the first one that starts with -")->required();
    check->footer(ExitStatusCheck);

    std::string normalizeIn, normalizeOut;
    CLI::App* normalize = app.add_subcommand("normalize", "Read IN as the editor loads it and write OUT as it saves");
    normalize->add_option("IN", normalizeIn, "The roster file to read")->required();
    normalize->add_option("OUT", normalizeOut, "The roster file to write; may be IN, which is then replaced")
        ->required();
    normalize->footer(ExitStatusSave);

    ExportRequest exportRequest;
    std::string exportRosterName, exportFormatName, exportOutput;
    CLI::App* exportCommand =
        app.add_subcommand("export", "Write the roster's units as a CSV table (UTF-8) or as JSON with the settings");
    exportCommand->add_option("ROSTER", exportRosterName, "The roster file to read")->required();
    CLI::Option* exportFormat =
        tableFormatOption(*exportCommand, exportFormatName, "By default what FILE's ending names, else csv");
    CLI::Option* exportTo =
        exportCommand->add_option("-o,--output", exportOutput, "Write to FILE instead of standard output")
            ->type_name("FILE");
    CLI::Option* bom = exportCommand->add_flag("--bom", exportRequest.byteOrderMark,
                                               "Start the CSV with a UTF-8 byte-order mark, which Excel needs");
    exportCommand->add_flag("--force", exportRequest.force,
                            "Replace FILE even when it holds a roster (never ROSTER itself)");
    std::string separatorName = ",";
    CLI::Option* separator =
        exportCommand
            ->add_option("--separator", separatorName,
                         "Put SEP between the cells of a CSV: , (the default), ; (as Excel reads CSV where the "
                         "decimal mark is a comma) or tab")
            ->check(CLI::Validator(
                [](const std::string& given) {
                    return given == "," || given == ";" || given == "tab" ? std::string()
                                                                          : "needs , or ; or tab, not " + given;
                },
                ""))
            ->type_name("SEP");
    exportCommand->footer(ExitStatusExport);

    ImportRequest importRequest;
    std::string importTableName, importRosterName, importFormatName, importOutput;
    CLI::App* importCommand = app.add_subcommand(
        "import", "Replace ROSTER's units with a table's rows (and its settings with a JSON table's) and save");
    importCommand->add_option("TABLE", importTableName, "The CSV or JSON table to read")->required();
    importCommand->add_option("--into", importRosterName, "The roster whose units the table replaces")
        ->required()
        ->type_name("ROSTER");
    importCommand->add_option("-o,--output", importOutput, "Write the result to OUT; by default ROSTER is replaced")
        ->type_name("OUT");
    CLI::Option* importFormatOption =
        tableFormatOption(*importCommand, importFormatName, "By default what TABLE's ending names");
    importCommand->footer(ExitStatusImport);

    std::string diffOld, diffNew;
    std::string diffFormat = "text";
    CLI::App* diff = app.add_subcommand("diff", "Show the settings, units and fields that differ from OLD to NEW");
    diff->add_option("OLD", diffOld, "The roster before")->required();
    diff->add_option("NEW", diffNew, "The roster after")->required();
    diff->add_option("--format", diffFormat, "text (the default) for people, json for scripts")
        ->transform(CLI::IsMember({"text", "json"}, CLI::ignore_case).description(""))
        ->type_name("text|json");
    diff->footer(ExitStatusDiff);

    // Positionals are named by their own name; the help need not call them TEXT.
    for (CLI::App* command : app.get_subcommands({})) {
        for (CLI::Option* option : command->get_options()) {
            if (option->get_positional())
                option->type_name("");
        }
    }

    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
        exportRequest.roster = pathFromUtf8(exportRosterName);
        if (*exportTo) {
            exportRequest.output = pathFromUtf8(exportOutput);
            exportRequest.format = formatFromEnding(*exportRequest.output).value_or(TableFormat::Csv);
        }
        if (*exportFormat)
            exportRequest.format = tableFormat(exportFormatName);
        if (*bom && exportRequest.format == TableFormat::Json)
            throw CLI::ValidationError("--bom", "a byte-order mark is for CSV only");
        if (*separator && exportRequest.format == TableFormat::Json)
            throw CLI::ValidationError("--separator", "a separator is for CSV only");
        exportRequest.separator = separatorName == "tab" ? '\t' : separatorName.front();
    } catch (const CLI::ParseError& error) {
        return app.exit(error, out, err) == 0 ? ExitClean : ExitTrouble;
    }

    if (*check) {
        std::vector<std::filesystem::path> paths;
        std::transform(checkFiles.begin(), checkFiles.end(), std::back_inserter(paths), pathFromUtf8);
        return checkRosterFiles(paths, out, err);
    }
    if (*normalize)
        return normalizeRosterFile(pathFromUtf8(normalizeIn), pathFromUtf8(normalizeOut), err);
    if (*exportCommand)
        return exportRoster(exportRequest, out, err);
    if (*importCommand) {
        if (*importFormatOption)
            importRequest.format = tableFormat(importFormatName);
        importRequest.table = pathFromUtf8(importTableName);
        importRequest.roster = pathFromUtf8(importRosterName);
        importRequest.output = pathFromUtf8(importOutput.empty() ? importRosterName : importOutput);
        return importTable(importRequest, err);
    }
    return diffRosterFiles(pathFromUtf8(diffOld), pathFromUtf8(diffNew), diffFormat == "json", out, err);
}

} // namespace brevorn
