// Texts crossing between the core's UTF-8 and the Windows API's UTF-16.
#include "utf16.h"

#include <gtest/gtest.h>

namespace brevorn {
namespace {

TEST(Utf16, EveryCharacterSurvivesTheRoundTripAndBrokenUtf8BecomesTheReplacementCharacter)
{
    // ASCII, Latin-1 (é), the euro sign of Windows-1252, a character outside the Basic
    // Multilingual Plane (a surrogate pair in UTF-16), and the empty text.
    const std::pair<std::string, std::wstring> texts[] = {
        {"Unit 7 - Blue", L"Unit 7 - Blue"},
        {"R\xc3\xa9giment \xe2\x82\xac", L"R\u00e9giment \u20ac"},
        {"\xf0\x9f\x9b\xa1", L"\xd83d\xdee1"},
        {"", L""},
    };
    for (const auto& [utf8, utf16] : texts) {
        EXPECT_EQ(toUtf16(utf8), utf16) << utf8;
        EXPECT_EQ(toUtf8(utf16), utf8) << utf8;
    }
    // A lone byte of a multi-byte sequence is not dropped silently.
    EXPECT_EQ(toUtf16("a\xc3"
                      "b"),
              L"a\ufffd"
              L"b");
    // Texts longer than any control shows still convert whole.
    EXPECT_EQ(toUtf8(toUtf16(std::string(100000, 'x'))).size(), 100000u);
}

} // namespace
} // namespace brevorn
