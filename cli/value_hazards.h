// Values that do not survive as they are: read back otherwise by the game, or taken for formulas by a spreadsheet.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brevorn {

// Why the game reads the value otherwise once it is written to a roster file, and what it
// reads, when it does: a comma or a line break ends the value there, and a NUL byte is no
// text. The window and normalize write values as they hold them; check reports these.
// E.g. for "Smith, J.": reads back as "Smith" once saved: a comma ends the value when the game reads the file
std::optional<std::string> readBackDifference(std::string_view value);

// A text that starts with "=", "+", "-" or "@" followed by a letter or "(", or with "="
// followed by anything: a spreadsheet may take it for a formula and show, or save, what the
// formula gives instead of the text.
bool looksLikeFormula(std::string_view value);

} // namespace brevorn
