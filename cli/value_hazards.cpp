// Telling values that read back differently, and formula-like texts.
#include "value_hazards.h"

#include "shown_text.h"

namespace brevorn {

std::optional<std::string> readBackDifference(std::string_view value)
{
    const std::size_t end = value.find_first_of(",\r\n");
    const bool nul = value.find('\0') != std::string_view::npos;
    if (end == std::string_view::npos)
        return nul ? std::optional<std::string>("holds a NUL byte (0x00), which is no text and which the game "
                                                "cannot be relied on to read")
                   : std::nullopt;
    std::string why = "reads back as " + quotedText(value.substr(0, end)) + " once saved: a ";
    why += value[end] == ',' ? "comma" : "line break";
    why += " ends the value when the game reads the file";
    if (nul)
        why += "; it also holds a NUL byte (0x00)";
    return why;
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
