// Well-formed UTF-8 by the table of RFC 3629.
#include "utf8_text.h"

#include <utility>

namespace brevorn {

namespace {

// The bytes the second byte of a character with this lead may be. Narrower than
// 0x80..0xBF where the wider range would let in an overlong form, a surrogate or a code
// point past U+10FFFF.
std::pair<unsigned char, unsigned char> secondByteRange(unsigned char lead)
{
    switch (lead) {
    case 0xE0:
        return {0xA0, 0xBF};
    case 0xED:
        return {0x80, 0x9F};
    case 0xF0:
        return {0x90, 0xBF};
    case 0xF4:
        return {0x80, 0x8F};
    default:
        return {0x80, 0xBF};
    }
}

// True when the byte may stand at place 1.. of a character with this lead.
bool fitsAfter(unsigned char lead, std::size_t place, unsigned char byte)
{
    const auto [low, high] = place == 1 ? secondByteRange(lead) : std::pair<unsigned char, unsigned char>{0x80, 0xBF};
    return byte >= low && byte <= high;
}

} // namespace

std::size_t utf8LengthFromLead(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

std::size_t utf8CharacterLength(std::string_view bytes, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = utf8LengthFromLead(lead);
    if (length <= 1)
        return length;
    if (at + length > bytes.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!fitsAfter(lead, i, static_cast<unsigned char>(bytes[at + i])))
            return 0;
    }
    return length;
}

std::size_t firstNonUtf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        if (static_cast<unsigned char>(bytes[at]) < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = utf8CharacterLength(bytes, at);
        if (length == 0)
            return at;
        at += length;
    }
    return std::string_view::npos;
}

bool isOneUtf8Character(std::string_view bytes)
{
    return !bytes.empty() && utf8CharacterLength(bytes, 0) == bytes.size();
}

char32_t utf8CodePoint(std::string_view bytes, std::size_t at, std::size_t length)
{
    static constexpr unsigned char leadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t c = static_cast<unsigned char>(bytes[at]) & leadBits[length];
    for (std::size_t i = 1; i < length; ++i)
        c = (c << 6) | (static_cast<unsigned char>(bytes[at + i]) & 0x3F);
    return c;
}

std::size_t malformedUtf8Length(std::string_view bytes, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = utf8LengthFromLead(lead);
    std::size_t taken = 1;
    while (taken < length && at + taken < bytes.size() &&
           fitsAfter(lead, taken, static_cast<unsigned char>(bytes[at + taken])))
        ++taken;
    return taken;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string hexBytes(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += hex.empty() ? "0x" : " 0x";
        hex += digits[byte >> 4];
        hex += digits[byte & 0xF];
    }
    return hex;
}

} // namespace brevorn
