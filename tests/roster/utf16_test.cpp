// Texts between the program's UTF-8 and UTF-16, in char16_t and, where it is 16 bits wide, in wchar_t.
#include "utf16.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace brevorn {
namespace {

template <class Unit>
class Utf16 : public ::testing::Test
{
};
using Utf16Units =
    std::conditional_t<sizeof(wchar_t) == 2, ::testing::Types<char16_t, wchar_t>, ::testing::Types<char16_t>>;
TYPED_TEST_SUITE(Utf16, Utf16Units);

// Test texts are written as char16_t; the same units in the type under test.
template <class Unit>
std::basic_string<Unit> units(std::u16string_view text)
{
    return std::basic_string<Unit>(text.begin(), text.end());
}

TYPED_TEST(Utf16, EveryCharacterSurvivesTheRoundTrip)
{
    using Unit = TypeParam;
    // ASCII, Latin-1 and the euro sign of Windows-1252, Greek and Japanese file names, a
    // character beyond the Basic Multilingual Plane (a surrogate pair), the largest code
    // point, and the empty text.
    const std::pair<std::string, std::u16string> texts[] = {
        {"Unit 7 - Blue", u"Unit 7 - Blue"},
        {"R\xc3\xa9giment \xe2\x82\xac", u"R\u00e9giment \u20ac"},
        {"\xce\xa9mega.txt", u"\u03a9mega.txt"},
        {"\xe6\x9d\xb1\xe4\xba\xac.txt", u"\u6771\u4eac.txt"},
        {"\xf0\x9f\x9b\xa1", u"\xd83d\xdee1"},
        {"\xf4\x8f\xbf\xbf", u"\xdbff\xdfff"},
        {"", u""},
    };
    for (const auto& [utf8, utf16] : texts) {
        EXPECT_EQ(toUtf16<Unit>(utf8), units<Unit>(utf16)) << utf8;
        EXPECT_EQ(toUtf8(units<Unit>(utf16)), utf8) << utf8;
        EXPECT_EQ(firstUnpairedSurrogate(std::basic_string_view<Unit>(units<Unit>(utf16))), std::string::npos);
    }
    // Texts longer than any buffer of the program still convert whole.
    const std::string many(100000, 'x');
    EXPECT_EQ(toUtf8(toUtf16<Unit>(many + "\xe2\x82\xac")), many + "\xe2\x82\xac");
}

TYPED_TEST(Utf16, MalformedUtf8BecomesOneReplacementCharacterPerBrokenPart)
{
    using Unit = TypeParam;
    // Each maximal start of a character becomes one U+FFFD; what follows it is kept.
    const std::pair<std::string, std::u16string> cases[] = {
        {"a\xc3"
         "b",
         u"a\ufffd"
         u"b"},
        {"\xe2\x82", u"\ufffd"},                           // cut short by the end
        {"\xe2\x82x", u"\ufffdx"},                         // cut short by an ASCII byte
        {"\xf0\x9f\x9b\xce\xa9", u"\ufffd\u03a9"},         // cut short by the next character
        {"\x80\xbf", u"\ufffd\ufffd"},                     // stray continuation bytes
        {"\xc0\xaf", u"\ufffd\ufffd"},                     // an overlong '/'
        {"\xed\xa0\x80", u"\ufffd\ufffd\ufffd"},           // a surrogate in UTF-8
        {"\xf4\x90\x80\x80", u"\ufffd\ufffd\ufffd\ufffd"}, // above U+10FFFF
        {"\xff\xfe", u"\ufffd\ufffd"},                     // bytes UTF-8 never has
    };
    for (const auto& [utf8, utf16] : cases)
        EXPECT_EQ(toUtf16<Unit>(utf8), units<Unit>(utf16)) << ::testing::PrintToString(utf8);
}

TYPED_TEST(Utf16, SurrogatesWithoutTheirPartnerAreFoundAndShownAsTheReplacementCharacter)
{
    using Unit = TypeParam;
    // A name NTFS allows but no UTF-8 text can hold: where the first bad unit is, and its UTF-8 form.
    const struct
    {
        std::u16string utf16;
        std::size_t firstUnpaired;
        std::string utf8;
    } cases[] = {
        {u"a\xd800", 1, "a\xef\xbf\xbd"}, // high surrogate at the end
        {u"\xd800"
         u"b",
         0,
         "\xef\xbf\xbd"
         "b"},                                                      // high surrogate before a letter
        {u"\xdc00\xd800", 0, "\xef\xbf\xbd\xef\xbf\xbd"},           // the pair's halves swapped
        {u"\xd83d\xdee1\xdee1", 2, "\xf0\x9f\x9b\xa1\xef\xbf\xbd"}, // a low surrogate after a whole pair
        {u"\xd800\xd83d\xdee1", 0, "\xef\xbf\xbd\xf0\x9f\x9b\xa1"}, // a high surrogate before a whole pair
    };
    for (const auto& [utf16, firstUnpaired, utf8] : cases) {
        const std::basic_string<Unit> text = units<Unit>(utf16);
        EXPECT_EQ(firstUnpairedSurrogate(std::basic_string_view<Unit>(text)), firstUnpaired) << utf8;
        EXPECT_EQ(toUtf8(text), utf8);
    }
}

} // namespace
} // namespace brevorn
