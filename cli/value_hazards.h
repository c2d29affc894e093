// Values that do not survive as they are: read back otherwise by the game, or taken for formulas by a spreadsheet.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brevorn {

// Where the game's reading of a value, once written to a roster file, parts from the value as
// held, and why: a comma or a line break ends the value there, and a NUL character is no text.
struct ReadBackHazard
{
    std::size_t at;          // the first such character
    std::string_view reason; // "a comma ends the value when the game reads the file"
};
std::optional<ReadBackHazard> readBackHazard(std::string_view value);

// The same in the words of check, with what the game reads when it reads a part. The window
// and normalize write values as they hold them; check reports these.
// E.g. for "Smith, J.": reads back as "Smith" once saved: a comma ends the value when the game reads the file
std::optional<std::string> readBackDifference(std::string_view value);

// A text that starts with "=", "+", "-" or "@" followed by a letter or "(", or with "="
// followed by anything: a spreadsheet may take it for a formula and show, or save, what the
// formula gives instead of the text.
bool looksLikeFormula(std::string_view value);

} // namespace brevorn
