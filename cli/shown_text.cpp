// Escaping texts for the terminal.
#include "shown_text.h"

#include "utf8_text.h"

namespace brevorn {

namespace {

void appendHex(unsigned value, std::string& out)
{
    static constexpr char digits[] = "0123456789abcdef";
    out += "\\x";
    out += digits[(value >> 4) & 0xF];
    out += digits[value & 0xF];
}

} // namespace

std::string quotedText(std::string_view utf8)
{
    std::string out = "\"";
    out.reserve(utf8.size() + 2);
    for (std::size_t at = 0; at < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[at]);
        const std::size_t length = utf8CharacterLength(utf8, at);
        if (length == 0) {
            appendHex(byte, out);
            ++at;
            continue;
        }
        // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F: shown by their value.
        if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(utf8[at + 1]) < 0xA0) {
            appendHex(static_cast<unsigned char>(utf8[at + 1]), out);
        } else if (length > 1) {
            out.append(utf8, at, length);
        } else if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7F) {
            appendHex(byte, out);
        } else {
            out += static_cast<char>(byte);
        }
        at += length;
    }
    out += '"';
    return out;
}

} // namespace brevorn
