// Reads arbitrary bytes as a CSV and as a JSON table: no crash, and a table taken without
// a problem comes back unchanged through export and import.
#include "roster_table.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

using namespace brevorn;

void checkRoundTrip(const ImportedTable& table, TableFormat format)
{
    if (!table.problems.empty())
        return;
    auto roster = std::make_unique<Roster>();
    std::copy(table.units.begin(), table.units.end(), roster->UnitTable.begin() + 1);
    roster->UnitCount = static_cast<int>(table.units.size());
    const GameSettings game{table.Day_Counter.value_or("1"), table.Theatre.value_or(""), table.Season.value_or("")};
    const ImportedTable again =
        format == TableFormat::Csv ? importCsv(unitsAsCsv(*roster, true)) : importJson(rosterAsJson(*roster, game));
    if (!again.problems.empty() || again.units != table.units)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkRoundTrip(importCsv(bytes), TableFormat::Csv);
    checkRoundTrip(importJson(bytes), TableFormat::Json);
    return 0;
}
