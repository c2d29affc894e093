// Windows-1252 bytes to UTF-8 texts and back.
#include "roster/windows1252.h"

#include <gtest/gtest.h>

namespace brevorn {
namespace {

// The UTF-8 form of one code point, written out independently of the code under test.
std::string utf8(char32_t c)
{
    auto unit = [](unsigned bits) { return static_cast<char>(bits); };
    if (c < 0x80)
        return {unit(c)};
    if (c < 0x800)
        return {unit(0xC0 | c >> 6), unit(0x80 | (c & 0x3F))};
    if (c < 0x10000)
        return {unit(0xE0 | c >> 12), unit(0x80 | (c >> 6 & 0x3F)), unit(0x80 | (c & 0x3F))};
    return {unit(0xF0 | c >> 18), unit(0x80 | (c >> 12 & 0x3F)), unit(0x80 | (c >> 6 & 0x3F)), unit(0x80 | (c & 0x3F))};
}

TEST(Windows1252, BytesBecomeTheirCharactersAndBack)
{
    const std::pair<unsigned char, char32_t> cases[] = {
        {0x00, 0x0000}, {0x41, 0x0041}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F},
        {0x90, 0x0090}, {0x92, 0x2019}, {0x9D, 0x009D}, {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xFF, 0x00FF},
    };
    for (const auto& [byte, character] : cases) {
        EXPECT_EQ(windows1252ToUtf8(std::string(1, static_cast<char>(byte))), utf8(character)) << int(byte);
        EXPECT_EQ(utf8ToWindows1252(utf8(character)), std::string(1, static_cast<char>(byte))) << int(byte);
    }

    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    EXPECT_EQ(utf8ToWindows1252("ASCII run " + windows1252ToUtf8(all + all) + " end"),
              "ASCII run " + all + all + " end");
}

TEST(Windows1252, ExactlyTheCodePageCharactersHaveAByte)
{
    int encodable = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        std::optional<std::string> byte = (c >= 0xD800 && c <= 0xDFFF) ? std::nullopt : utf8ToWindows1252(utf8(c));
        encodable += byte.has_value();
        if (byte) {
            ASSERT_EQ(windows1252ToUtf8(*byte), utf8(c)) << static_cast<std::uint32_t>(c);
        }
    }
    EXPECT_EQ(encodable, 256);
}

TEST(Windows1252, RefusedTextsNameTheirFirstBadCharacter)
{
    const std::pair<std::string, std::string> cases[] = {
        {"ab\xCE\xA9 c", "\xCE\xA9"},       // Greek omega: not in the code page
        {"ab\xC2\x80", "\xC2\x80"},         // U+0080: byte 0x80 is the euro sign
        {"ab\x80\x80x", "\x80\x80"},        // continuation bytes without a lead byte
        {"ab\xC0\xAF", "\xC0\xAF"},         // overlong "/"
        {"ab\xED\xA0\x80", "\xED\xA0\x80"}, // a surrogate
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
