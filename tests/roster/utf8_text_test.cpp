// Telling well-formed UTF-8 from other bytes, and showing bytes in messages.
#include "utf8_text.h"

#include <gtest/gtest.h>

namespace brevorn {
namespace {

TEST(Utf8Text, FindsTheFirstByteThatIsNotPartOfAWellFormedCharacter)
{
    const std::pair<std::string, std::size_t> cases[] = {
        {"", std::string::npos},
        {"plain ASCII", std::string::npos},
        {"R\xc3\xa9gim\xe2\x82\xac \xf0\x9f\x9b\xa1 \xf4\x8f\xbf\xbf", std::string::npos},
        {"caf\xe9", 3},                  // Windows-1252, not UTF-8
        {"ab\x80", 2},                   // a stray continuation byte
        {"\xc1\xbf", 0},                 // overlong forms
        {"x\xe0\x9f\xbf", 1},            //
        {"\xf0\x8f\xbf\xbf", 0},         //
        {"\xed\x9f\xbf\xed\xa0\x80", 3}, // the last character before the surrogates, then one
        {"\xf4\x90\x80\x80", 0},         // past U+10FFFF
        {"ok \xe2\x82", 3},              // cut short by the end
        {"\xe2\x82x", 0},                // cut short by an ASCII byte
    };
    for (const auto& [bytes, position] : cases)
        EXPECT_EQ(firstNonUtf8(bytes), position) << ::testing::PrintToString(bytes);
}

TEST(Utf8Text, ReadsOneCharacterAtATime)
{
    // Length, code point, and whether that is the whole text.
    EXPECT_EQ(utf8CharacterLength("\xe2\x82\xac!", 0), 3u);
    EXPECT_EQ(utf8CodePoint("\xe2\x82\xac!", 0, 3), U'\u20ac');
    EXPECT_EQ(utf8CodePoint("a\xf0\x9f\x9b\xa1", 1, 4), U'\U0001F6E1');
    EXPECT_EQ(utf8LengthFromLead(0xC1), 0u);
    EXPECT_EQ(utf8LengthFromLead(0xF4), 4u);
    EXPECT_TRUE(isOneUtf8Character("\xc3\xa9"));
    EXPECT_FALSE(isOneUtf8Character("\xc3\xa9x"));
    EXPECT_FALSE(isOneUtf8Character("\xc3"));
    EXPECT_FALSE(isOneUtf8Character(""));

    // Every code point written out reads back as itself, in as many bytes as it needs.
    for (char32_t c : {U'\0', U'\x7f', U'\x80', U'\u07ff', U'\u0800', U'\ud7ff', U'\ue000', U'\uffff', U'\U00010000',
                       U'\U0010FFFF'}) {
        std::string bytes;
        appendUtf8(bytes, c);
        ASSERT_EQ(utf8CharacterLength(bytes, 0), bytes.size()) << int(c);
        EXPECT_EQ(utf8CodePoint(bytes, 0, bytes.size()), c);
    }
}

TEST(Utf8Text, ShowsBytesInHexadecimal)
{
    EXPECT_EQ(hexBytes(""), "");
    EXPECT_EQ(hexBytes("\xe9"), "0xE9");
    EXPECT_EQ(hexBytes(std::string_view("\x00\x7f\xff", 3)), "0x00 0x7F 0xFF");
}

} // namespace
} // namespace brevorn
