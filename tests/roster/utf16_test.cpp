// Texts between the program's UTF-8 and the UTF-16 of Windows names and APIs: which UTF-8 is well formed, what
// stands in for what is not, and what stands in for a surrogate without its partner.
#include "utf16.h"
#include "utf8_text.h"

#include <gtest/gtest.h>

namespace brevorn {
namespace {

constexpr std::size_t WellFormed = std::string::npos;

TEST(Utf16, WellFormedUtf8ConvertsBothWaysAndEachMalformedPartBecomesOneReplacementCharacter)
{
    // UTF-8, its UTF-16 form, and where its first byte that is no part of a well-formed character is.
    const struct
    {
        std::string utf8;
        std::u16string utf16;
        std::size_t firstNonUtf8;
    } cases[] = {
        {"", u"", WellFormed},
        {"Unit 7\x7f", u"Unit 7\x7f", WellFormed},
        {"R\xc3\xa9giment \xe2\x82\xac \xe6\x9d\xb1", u"R\u00e9giment \u20ac \u6771", WellFormed},
        // The first and last code points of each length, and those around the surrogates.
        {"\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf", u"\u0080\u07ff\u0800\uffff", WellFormed},
        {"\xed\x9f\xbf\xee\x80\x80", u"\ud7ff\ue000", WellFormed},
        {"\xf0\x90\x80\x80\xf4\x8f\xbf\xbf", u"\xd800\xdc00\xdbff\xdfff", WellFormed},
        // Cut short by the end, by an ASCII byte, by the next character.
        {"a\xc3", u"a\ufffd", 1},
        {"ok \xe2\x82", u"ok \ufffd", 3},
        {"\xe2\x82x", u"\ufffdx", 0},
        {"\xf0\x9f\x9b\xce\xa9", u"\ufffd\u03a9", 0},
        // Stray continuation bytes, bytes UTF-8 never has, Windows-1252.
        {"ab\x80\xbf", u"ab\ufffd\ufffd", 2},
        {"\xff\xfe", u"\ufffd\ufffd", 0},
        {"caf\xe9", u"caf\ufffd", 3},
        // Overlong forms, a surrogate, a code point past U+10FFFF: each byte stands alone.
        {"\xc0\xaf\xc1\xbf", u"\ufffd\ufffd\ufffd\ufffd", 0},
        {"x\xe0\x9f\xbf", u"x\ufffd\ufffd\ufffd", 1},
        {"\xf0\x8f\xbf\xbf", u"\ufffd\ufffd\ufffd\ufffd", 0},
        {"\xed\x9f\xbf\xed\xa0\x80", u"\ud7ff\ufffd\ufffd\ufffd", 3},
        {"\xf4\x90\x80\x80", u"\ufffd\ufffd\ufffd\ufffd", 0},
    };
    for (const auto& [utf8, utf16, firstNonUtf8Byte] : cases) {
        SCOPED_TRACE(::testing::PrintToString(utf8));
        EXPECT_EQ(toUtf16<char16_t>(utf8), utf16);
        EXPECT_EQ(firstNonUtf8(utf8), firstNonUtf8Byte);
        EXPECT_EQ(firstUnpairedSurrogate(std::u16string_view(utf16)), WellFormed);
        if (firstNonUtf8Byte == WellFormed) {
            EXPECT_EQ(toUtf8(utf16), utf8);
        }
    }
}

TEST(Utf16, SurrogatesWithoutTheirPartnerAreFoundAndShownAsTheReplacementCharacter)
{
    // A name NTFS allows but no UTF-8 text can hold: where the first bad unit is, and its UTF-8 form.
    const struct
    {
        std::u16string utf16;
        std::size_t firstUnpaired;
        std::string utf8;
    } cases[] = {
        {u"a\xd800", 1, "a\xef\xbf\xbd"},                           // high surrogate at the end
        {u"\xd800z", 0, "\xef\xbf\xbdz"},                           // high surrogate before a letter
        {u"\xdc00\xd800", 0, "\xef\xbf\xbd\xef\xbf\xbd"},           // the pair's halves swapped
        {u"\xd83d\xdee1\xdee1", 2, "\xf0\x9f\x9b\xa1\xef\xbf\xbd"}, // a low surrogate after a whole pair
        {u"\xd800\xd83d\xdee1", 0, "\xef\xbf\xbd\xf0\x9f\x9b\xa1"}, // a high surrogate before a whole pair
    };
    for (const auto& [utf16, firstUnpaired, utf8] : cases) {
        EXPECT_EQ(firstUnpairedSurrogate(std::u16string_view(utf16)), firstUnpaired) << utf8;
        EXPECT_EQ(toUtf8(utf16), utf8);
    }
}

} // namespace
} // namespace brevorn
