// Windows-1252 to UTF-8 and back, byte by byte, with a fast path for runs of ASCII.
#include "windows1252.h"

#include "utf8_text.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace brevorn {

namespace {

// The characters of bytes 0x80..0x9F. The five bytes the code page leaves undefined
// keep the C1 control of their own value, so that no byte is lost on a round trip.
constexpr std::array<char32_t, 32> highControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t characterOf(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? highControls[byte - 0x80] : char32_t(byte);
}

// The UTF-8 bytes of each byte 0x80..0xFF: two or three bytes, length in front.
struct Utf8Form
{
    std::uint8_t size = 0;
    char bytes[3] = {};
};

constexpr std::array<Utf8Form, 128> makeUtf8Forms()
{
    std::array<Utf8Form, 128> forms{};
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        char32_t c = characterOf(static_cast<unsigned char>(byte));
        Utf8Form& form = forms[byte - 0x80];
        if (c < 0x800) {
            form.size = 2;
            form.bytes[0] = static_cast<char>(0xC0 | (c >> 6));
            form.bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            form.size = 3;
            form.bytes[0] = static_cast<char>(0xE0 | (c >> 12));
            form.bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            form.bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return forms;
}

constexpr std::array<Utf8Form, 128> utf8Forms = makeUtf8Forms();

// Length of the run of ASCII bytes at the start of [p, end), eight bytes at a time.
std::size_t asciiRun(const char* p, const char* end)
{
    const char* start = p;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080u)
            break;
        p += 8;
    }
    while (p < end && static_cast<unsigned char>(*p) < 0x80)
        ++p;
    return static_cast<std::size_t>(p - start);
}

// The byte that stands for character c, or -1 when the code page has none.
int byteOf(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (int i = 0; i < 32; ++i) {
        if (highControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

void appendWindows1252AsUtf8(std::string_view bytes, std::string& out)
{
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        std::size_t run = asciiRun(p, end);
        out.append(p, run);
        p += run;
        for (; p < end && static_cast<unsigned char>(*p) >= 0x80; ++p) {
            const Utf8Form& form = utf8Forms[static_cast<unsigned char>(*p) - 0x80];
            out.append(form.bytes, form.size);
        }
    }
}

std::string windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    appendWindows1252AsUtf8(bytes, out);
    return out;
}

bool appendUtf8AsWindows1252(std::string_view utf8, std::string& out, std::string* badCharacter)
{
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    while (p < end) {
        std::size_t run = asciiRun(p, end);
        out.append(p, run);
        p += run;
        if (p == end)
            break;
        const std::size_t at = static_cast<std::size_t>(p - utf8.data());
        const std::size_t size = utf8CharacterLength(utf8, at);
        const int byte = size ? byteOf(utf8CodePoint(utf8, at, size)) : -1;
        if (byte < 0) {
            if (badCharacter) {
                // A malformed sequence is shown as its lead byte and the continuation bytes after it.
                std::size_t shown = size;
                if (!shown) {
                    shown = 1;
                    while (p + shown < end && shown < 4 && (static_cast<unsigned char>(p[shown]) & 0xC0) == 0x80)
                        ++shown;
                }
                badCharacter->assign(p, shown);
            }
            return false;
        }
        out.push_back(static_cast<char>(byte));
        p += size;
    }
    return true;
}

std::optional<std::string> utf8ToWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    if (!appendUtf8AsWindows1252(utf8, out))
        return std::nullopt;
    return out;
}

} // namespace brevorn
