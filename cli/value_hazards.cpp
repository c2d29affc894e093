// Telling values that read back differently, and formula-like texts.
#include "value_hazards.h"

#include "shown_text.h"

namespace brevorn {

std::optional<ReadBackHazard> readBackHazard(std::string_view value)
{
    const std::size_t at = value.find_first_of(std::string_view(",\r\n\0", 4));
    if (at == std::string_view::npos)
        return std::nullopt;
    if (value[at] == ',')
        return ReadBackHazard{at, "a comma ends the value when the game reads the file"};
    if (value[at] == '\0')
        return ReadBackHazard{at, "a NUL character is no text; the game would not read it back"};
    return ReadBackHazard{at, "a line break ends the value when the game reads the file"};
}

std::optional<std::string> readBackDifference(std::string_view value)
{
    const std::optional<ReadBackHazard> hazard = readBackHazard(value);
    if (!hazard)
        return std::nullopt;
    if (value[hazard->at] == '\0')
        return std::string("holds a NUL character, which is no text; the game would not read it back");
    return "reads back as " + quotedText(value.substr(0, hazard->at)) + " once saved: " + std::string(hazard->reason);
}

bool looksLikeFormula(std::string_view value)
{
    if (value.size() < 2 || value.find_first_of("=+-@") != 0)
        return false;
    // After "=" anything is a formula ("=1+1"); after a sign, digits are a number ("-1", "+4").
    const char next = value[1];
    return value[0] == '=' || next == '(' || (next >= 'A' && next <= 'Z') || (next >= 'a' && next <= 'z');
}

} // namespace brevorn
