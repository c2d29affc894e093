// Windows-1252 bytes to UTF-8 texts and back.
#include "roster/windows1252.h"

#include <gtest/gtest.h>

namespace brevorn {
namespace {

// The UTF-8 form of one code point, written out independently of the code under test.
std::string utf8(char32_t c)
{
    if (c < 0x80)
        return std::string(1, static_cast<char>(c));
    if (c < 0x800)
        return {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    if (c < 0x10000)
        return {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                static_cast<char>(0x80 | (c & 0x3F))};
    return {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
            static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
}

TEST(Windows1252, BytesBecomeTheirCharacters)
{
    const std::pair<unsigned char, char32_t> cases[] = {
        {0x00, 0x0000}, {0x41, 0x0041}, {0x7F, 0x007F}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160},
        {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x92, 0x2019}, {0x99, 0x2122}, {0x9D, 0x009D},
        {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
    };
    for (const auto& [byte, character] : cases) {
        EXPECT_EQ(windows1252ToUtf8(std::string(1, static_cast<char>(byte))), utf8(character)) << int(byte);
        EXPECT_EQ(utf8ToWindows1252(utf8(character)), std::string(1, static_cast<char>(byte))) << int(byte);
    }
}

TEST(Windows1252, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    std::string text = "start " + windows1252ToUtf8(all + all) + " end"; // runs of ASCII around them
    EXPECT_EQ(utf8ToWindows1252(text), "start " + all + all + " end");
}

TEST(Windows1252, ExactlyTheCodePageCharactersHaveAByte)
{
    int encodable = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        std::optional<std::string> byte = utf8ToWindows1252(utf8(c));
        if (!byte)
            continue;
        ++encodable;
        ASSERT_EQ(byte->size(), 1u) << std::hex << static_cast<std::uint32_t>(c);
        ASSERT_EQ(windows1252ToUtf8(*byte), utf8(c)) << std::hex << static_cast<std::uint32_t>(c);
    }
    EXPECT_EQ(encodable, 256);
}

TEST(Windows1252, RefusedTextsNameTheirFirstBadCharacter)
{
    const std::pair<std::string, std::string> cases[] = {
        {"ab\xCE\xA9 c", "\xCE\xA9"},               // Greek omega: not in the code page
        {"ab\xC2\x80", "\xC2\x80"},                 // U+0080: byte 0x80 is the euro sign
        {"ab\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"}, // an emoji
        {"ab\x80\x80x", "\x80\x80"},                // continuation bytes without a lead byte
        {"ab\xE2\x82", "\xE2\x82"},                 // cut short
        {"ab\xC0\xAF", "\xC0\xAF"},                 // overlong "/"
        {"ab\xED\xA0\x80", "\xED\xA0\x80"},         // a surrogate
        {"ab\xF4\x90\x80\x80", "\xF4\x90\x80\x80"}, // above U+10FFFF
    };
    for (const auto& [text, bad] : cases) {
        std::string out, badCharacter;
        EXPECT_FALSE(appendUtf8AsWindows1252(text, out, &badCharacter)) << text;
        EXPECT_EQ(out, "ab");
        EXPECT_EQ(badCharacter, bad);
        EXPECT_EQ(utf8ToWindows1252(text), std::nullopt);
    }
}

} // namespace
} // namespace brevorn
