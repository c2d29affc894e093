// Texts as brevorn-roster shows them to people: quoted, with nothing a terminal would act on.
#pragma once

#include <string>
#include <string_view>

namespace brevorn {

// The UTF-8 text in double quotes. A double quote and a backslash inside it get a backslash
// before them; a tab and the line ends are written \t, \r and \n; every other control
// character, C1 ones included, and any byte that is no UTF-8 is written \xHH, so that a
// value holding an escape sequence cannot reach the terminal as one: ESC shows as \x1b, and
// U+0081 (the byte 0x81 of a roster file) as \x81.
std::string quotedText(std::string_view utf8);

} // namespace brevorn
