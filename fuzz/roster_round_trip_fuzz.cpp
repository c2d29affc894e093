// Reads arbitrary bytes, writes the roster, reads it again: the second reading must
// give the texts of the first, in the form the writer gives them.
#include "decimal_form.h"
#include "roster_reader.h"
#include "roster_writer.h"
#include "unit_fields.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace {

using namespace brevorn;

// Line ends and commas inside a value (possible through quoted items) split it when
// read back, so such rosters are outside what a round trip can keep.
bool survivesWriting(std::string_view text)
{
    return text.find_first_of(",\r\n") == std::string_view::npos;
}

std::string writtenCount(const std::optional<std::string>& count)
{
    return std::to_string(*countDecimalForm(count));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    auto first = std::make_unique<Roster>();
    auto read = readRoster(in, "fuzz input", *first);
    if (!read.ok())
        return 0;

    GameSettings game{read.value().Day_Counter.value_or("0"), read.value().Theatre.value_or(""),
                      read.value().Season.value_or("")};
    if (!survivesWriting(game.Theatre) || !survivesWriting(game.Season))
        return 0;
    for (const UnitRecord& unit : first->units()) {
        for (const UnitField& field : unitFields) {
            if (!survivesWriting(fieldText(unit, field)))
                return 0;
        }
    }

    auto bytes = rosterFileBytes(*first, game);
    if (!bytes.ok())
        return 0; // a value the writer refuses: nothing is written, nothing to compare

    std::istringstream writtenIn(bytes.value());
    auto second = std::make_unique<Roster>();
    auto reread = readRoster(writtenIn, "written roster", *second);
    if (!reread.ok() || second->UnitCount != first->UnitCount)
        std::abort();
    if (reread.value().Theatre != game.Theatre || reread.value().Season != game.Season ||
        reread.value().Day_Counter != std::to_string(*decimalForm(game.Day_Counter, MaxDayCounter)))
        std::abort();
    for (std::size_t i = 0; i < first->units().size(); ++i) {
        const UnitRecord& was = first->units()[i];
        const UnitRecord& is = second->units()[i];
        for (const UnitField& field : unitFields) {
            std::string want =
                field.kind == FieldKind::Count ? writtenCount(was.*field.count) : std::string(fieldText(was, field));
            if (fieldText(is, field) != want)
                std::abort();
        }
    }
    // Writing what was read back gives the same bytes again.
    auto again = rosterFileBytes(*second, GameSettings{*reread.value().Day_Counter, game.Theatre, game.Season});
    if (!again.ok() || again.value() != bytes.value())
        std::abort();
    return 0;
}
