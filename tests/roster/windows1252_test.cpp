// Windows-1252 bytes to UTF-8 texts and back.
#include "windows1252.h"

#include <gtest/gtest.h>

namespace brevorn {
namespace {

// The UTF-8 form of one code point, written out independently of the code under test: a lead byte
// that tells how many continuation bytes of six bits each follow it.
std::string utf8(char32_t c)
{
    const int more = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    std::string out(1, static_cast<char>(more ? (0xFF << (7 - more) & 0xFF) | c >> 6 * more : c));
    for (int i = more - 1; i >= 0; --i)
        out += static_cast<char>(0x80 | (c >> 6 * i & 0x3F));
    return out;
}

TEST(Windows1252, EveryByteHasItsCharacterAndNoOtherCharacterHasAByte)
{
    // The five bytes the code page leaves undefined become the C1 controls of the same value.
    const std::pair<unsigned char, char32_t> cases[] = {
        {0x00, 0x0000}, {0x41, 0x0041}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F},
        {0x90, 0x0090}, {0x92, 0x2019}, {0x9D, 0x009D}, {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xFF, 0x00FF},
    };
    for (const auto& [byte, character] : cases)
        EXPECT_EQ(windows1252ToUtf8(std::string(1, static_cast<char>(byte))), utf8(character)) << int(byte);

    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    EXPECT_EQ(utf8ToWindows1252("ASCII run " + windows1252ToUtf8(all + all) + " end"),
              "ASCII run " + all + all + " end");

    // With every byte's character converting back, 256 convertible characters (surrogates
    // included in the search) leave no room for one that has no byte of its own.
    int convertible = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c)
        convertible += utf8ToWindows1252(utf8(c)).has_value();
    EXPECT_EQ(convertible, 256);
}

} // namespace
} // namespace brevorn
