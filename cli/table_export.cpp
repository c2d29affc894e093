// Writing a roster's units as CSV or JSON.
#include "roster_table.h"

#include "csv.h"
#include "path_text.h"
#include "unit_fields.h"
#include "unit_json.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace brevorn {

std::optional<TableFormat> formatFromEnding(const std::filesystem::path& path)
{
    std::string ending = pathText(path.extension());
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ending == ".csv")
        return TableFormat::Csv;
    if (ending == ".json")
        return TableFormat::Json;
    return std::nullopt;
}

std::string unitsAsCsv(const Roster& roster, bool byteOrderMark, char separator)
{
    std::string out = byteOrderMark ? "\xEF\xBB\xBF" : "";
    std::array<std::string_view, unitFields.size()> cells;
    std::transform(unitFields.begin(), unitFields.end(), cells.begin(), [](const UnitField& f) { return f.key; });
    appendCsvRow(out, cells, separator);
    for (const UnitRecord& unit : roster.units()) {
        std::transform(unitFields.begin(), unitFields.end(), cells.begin(),
                       [&](const UnitField& field) { return fieldText(unit, field); });
        appendCsvRow(out, cells, separator);
    }
    return out;
}

std::string rosterAsJson(const Roster& roster, const GameSettings& game)
{
    OrderedJson units = OrderedJson::array();
    for (const UnitRecord& unit : roster.units())
        units.push_back(unitAsJson(unit));
    const OrderedJson document = {{"game",
                                   {{std::string(dayCounterKey), game.Day_Counter},
                                    {std::string(theatreKey), game.Theatre},
                                    {std::string(seasonKey), game.Season}}},
                                  {"units", std::move(units)}};
    return document.dump(2) + "\n";
}

} // namespace brevorn
