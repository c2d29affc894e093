// Refusing export outputs that would lose data or mislead.
#include "export_output.h"

#include "item_scanner.h"
#include "roster_files.h"
#include "unit_fields.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <string_view>

namespace brevorn {

namespace {

// Workbook formats of Excel, LibreOffice and Numbers: binary or zipped, never CSV text.
constexpr std::array<std::string_view, 8> workbookEndings = {".xlsx", ".xlsm", ".xlsb",    ".xls",
                                                             ".ods",  ".fods", ".numbers", ".xltx"};

std::string lowerCaseEnding(const std::filesystem::path& path)
{
    const std::u8string utf8 = path.extension().u8string();
    std::string ending(utf8.begin(), utf8.end());
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending;
}

bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

// Enough of an item's first bytes to tell a section line or a key from anything else.
std::string itemStart(ItemScanner& scanner)
{
    std::string start;
    for (std::string_view piece = scanner.nextPiece(); !piece.empty() && start.size() < 32; piece = scanner.nextPiece())
        start.append(piece.substr(0, 32));
    return start;
}

bool isSectionKey(bool unitSection, std::string_view key)
{
    if (unitSection)
        return findUnitField(key) || key == usedKey || key == armoredKey;
    return key == dayCounterKey || key == theatreKey || key == seasonKey;
}

// Only a regular file is looked into, and only up to the first key that shows it is a roster.
bool holdsRoster(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    ItemScanner scanner(in);
    enum class Section { None, Game, Units } section = Section::None;
    while (scanner.nextItem()) {
        const std::string item = itemStart(scanner);
        if (item == "GAME:" || item == "UNITS:") {
            section = item == "GAME:" ? Section::Game : Section::Units;
            continue;
        }
        const std::size_t equals = item.find('=');
        if (section != Section::None && equals != std::string::npos && equals > 0 &&
            isSectionKey(section == Section::Units, std::string_view(item).substr(0, equals)))
            return true;
    }
    return false;
}

} // namespace

std::optional<std::string> exportOutputRefusal(const std::filesystem::path& roster, const std::filesystem::path& output,
                                               bool force)
{
    const std::string file = pathText(output);
    const std::string ending = lowerCaseEnding(output);
    if (std::find(workbookEndings.begin(), workbookEndings.end(), ending) != workbookEndings.end()) {
        std::filesystem::path csv = output;
        csv.replace_extension(".csv");
        return file + ": not written: export writes CSV or JSON text, not a spreadsheet workbook (" + ending +
               "); write " + pathText(csv) + " instead, open it in the spreadsheet and save it there as " + ending +
               " if you want one";
    }
    if (isSameFile(roster, output))
        return file + ": not written: it is the roster being exported (" + pathText(roster) +
               "), which the table would replace; give -o another file";
    if (!force && holdsRoster(output))
        return file + ": not written: it holds a roster, which the table would replace; give -o another file, or "
                      "add --force to replace it";
    return std::nullopt;
}

} // namespace brevorn
