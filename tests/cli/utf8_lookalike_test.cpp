// Telling a roster saved as UTF-8 from one in Windows-1252, and a text that went through that mistake.
#include "utf8_lookalike.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brevorn {
namespace {

// "line: word", or "-" when the bytes do not look like UTF-8.
std::string lookalike(const std::string& bytes)
{
    std::istringstream in(bytes);
    const std::optional<Utf8Lookalike> found = findUtf8Lookalike(in);
    return found ? std::to_string(found->line) + ": " + found->word : "-";
}

TEST(Utf8Lookalike, FirstWordOfAFileWhoseNonAsciiBytesAreAllUtf8)
{
    const std::string padding(70000, 'x'); // longer than a chunk, so that a character straddles two
    const std::pair<std::string, std::string> cases[] = {
        {"", "-"},
        {"GAME:\r\nTheatre=Desert\r\n", "-"},
        {"GAME:\r\nTheatre=D\xC3\xA9sert\r\nSeason=\xC3\x89t\xC3\xA9\r\n", "2: D\xC3\xA9sert"},
        {"a\rb\nc\r\n\"unit_name=Caf\xC3\xA9 Noir\",x", "4: Caf\xC3\xA9"},
        {"\xEF\xBB\xBFGAME:\r\n", "1: \xEF\xBB\xBFGAME:"},
        {"name=\xF0\x9F\x9A\x82 train", "1: \xF0\x9F\x9A\x82"},
        // Windows-1252 letters are seldom UTF-8, and one that is not spoils the guess.
        {"Theatre=D\xE9sert\r\n", "-"},
        {"Theatre=D\xC3\xA9sert\r\nSeason=\xC9t\xE9\r\n", "-"},
        {"x=\xC3", "-"},
        {padding.substr(0, 65535) + "\r\n\xC3\xA9t\xC3\xA9", "2: \xC3\xA9t\xC3\xA9"},
        {padding.substr(0, 65534) + " \xE2\x82\xAC" + padding, "1: \xE2\x82\xAC" + padding.substr(0, 141)},
        {padding + "\xE2\x82\xAC", "1: " + padding.substr(0, 48) + "\xE2\x82\xAC"},
    };
    for (const auto& [bytes, want] : cases)
        EXPECT_EQ(lookalike(bytes), want) << bytes.substr(0, 40);
}

TEST(Utf8Lookalike, TheTextBeforeUtf8WasReadAsWindows1252)
{
    const std::pair<std::string, std::string> cases[] = {
        {"M\xC3\x83\xC2\xBCller", "M\xC3\xBCller"},           // MÃ¼ller
        {"\xC3\xA2\xE2\x80\x9A\xC2\xAC 5", "\xE2\x82\xAC 5"}, // â‚¬ 5
        {"\xC3\xA2\xC5\x93\xE2\x80\x9C", "\xE2\x9C\x93"},     // âœ“, a check mark
        {"\xC3\x83\xC2\x81", "\xC3\x81"},                     // Ã and the byte 0x81 Windows-1252 leaves undefined
        {"M\xC3\xBCller", "-"},                               // Müller: ü alone is no UTF-8
        {"M\xC3\x83\xC2\xBCller \xC3\xA9t\xC3\xA9", "-"},     // and one such letter spoils the guess
        {"Plain", "-"},
        {"\xC3\x83", "-"},     // Ã alone
        {"\xE2\x9C\x93", "-"}, // no Windows-1252 character
    };
    for (const auto& [text, want] : cases)
        EXPECT_EQ(textBeforeUtf8ReadAsWindows1252(text).value_or("-"), want) << text;
}

} // namespace
} // namespace brevorn
