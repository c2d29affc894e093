// Reads arbitrary bytes as a CSV and as a JSON table: no crash, and a table taken without
// a problem comes back unchanged through export and import.
#include "roster_table.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace {

using namespace brevorn;

ImportedTable imported(const std::string& text, TableFormat format)
{
    std::istringstream in(text);
    return format == TableFormat::Csv ? importCsv(in) : importJson(in);
}

// The separator of the export varies with the input, so that each is tried.
void checkRoundTrip(const ImportedTable& table, TableFormat format, char separator)
{
    if (!table.problems.empty())
        return;
    auto roster = std::make_unique<Roster>();
    if (!roster->replaceUnits(table.units))
        std::abort();
    const GameSettings game{table.Day_Counter.value_or("1"), table.Theatre.value_or(""), table.Season.value_or("")};
    const ImportedTable again = imported(
        format == TableFormat::Csv ? unitsAsCsv(*roster, true, separator) : rosterAsJson(*roster, game), format);
    if (!again.problems.empty() || again.units != table.units)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const char separator = ",;\t"[size % 3];
    checkRoundTrip(imported(bytes, TableFormat::Csv), TableFormat::Csv, separator);
    checkRoundTrip(imported(bytes, TableFormat::Json), TableFormat::Json, separator);
    return 0;
}
