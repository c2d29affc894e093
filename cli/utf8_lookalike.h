// Telling a roster file that was saved as UTF-8, which the game would misread.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace brevorn {

struct Utf8Lookalike
{
    std::int64_t line = 0; // where the first word with non-ASCII bytes stands
    std::string word;      // that word's bytes, cut short when long
};

// The first word holding non-ASCII bytes, when there are such bytes and every one of them
// belongs to a well-formed UTF-8 character: the file was most likely saved as UTF-8, and the
// game, reading Windows-1252, shows "DÃ©sert" for "Désert". Nothing for a file of other bytes
// (such as Windows-1252 text, whose letters rarely form UTF-8) or of ASCII only. Lines count
// as the reader counts them; a word ends at a blank, a line end, a comma, a "=" or a quote.
std::optional<Utf8Lookalike> findUtf8Lookalike(std::istream& in);

// The same mistake one step further, in a UTF-8 text: a file of UTF-8 read as Windows-1252
// and saved again as UTF-8, as a spreadsheet does with a CSV file it opened in the wrong
// character set. Gives the text as it was ("Müller" for "MÃ¼ller") when every character is
// one of Windows-1252, some are not ASCII, and their Windows-1252 bytes are well-formed
// UTF-8, the rule findUtf8Lookalike follows; nothing otherwise.
std::optional<std::string> textBeforeUtf8ReadAsWindows1252(std::string_view text);

} // namespace brevorn
