// Decoding a table file chunk by chunk, so that memory holds one chunk of it at a time.
#include "table_text.h"

#include "utf8_text.h"
#include "windows1252.h"

#include <algorithm>
#include <cstring>

namespace brevorn {

namespace {

constexpr std::size_t ChunkSize = 64 * 1024;
constexpr std::size_t ShownBefore = 24; // bytes of text shown before a bad byte

bool isHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// "0xD83D" for a code unit in a message.
std::string hexUnit(char32_t unit)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string hex = "0x";
    for (int shift = 12; shift >= 0; shift -= 4)
        hex += digits[(unit >> shift) & 0xF];
    return hex;
}

// The bad byte, with the text before it on its line in the same chunk, cut at a character.
std::string notUtf8(std::string_view bytes, std::size_t bad)
{
    const std::size_t lineEnd = bytes.substr(0, bad).find_last_of("\r\n");
    const std::size_t lineStart = lineEnd == std::string_view::npos ? 0 : lineEnd + 1;
    std::size_t start = std::max(lineStart, bad > ShownBefore ? bad - ShownBefore : 0);
    while (start < bad && (static_cast<unsigned char>(bytes[start]) & 0xC0) == 0x80)
        ++start;
    const std::string_view before = bytes.substr(start, bad - start);
    return "byte " + hexBytes(bytes.substr(bad, 1)) +
           (before.empty() ? ""
                           : " after \"" + std::string(start > lineStart ? "..." : "") + std::string(before) + "\"") +
           " is not UTF-8";
}

} // namespace

TableEncoding readByteOrderMark(std::istream& in)
{
    const std::istream::pos_type start = in.tellg();
    char mark[3] = {};
    in.read(mark, 3);
    const std::string_view read(mark, static_cast<std::size_t>(in.gcount()));
    in.clear();
    TableEncoding encoding = TableEncoding::Utf8;
    std::streamoff size = 0;
    if (read.starts_with("\xEF\xBB\xBF")) {
        encoding = TableEncoding::Utf8WithMark;
        size = 3;
    } else if (read.starts_with("\xFF\xFE")) {
        encoding = TableEncoding::Utf16LittleEndian;
        size = 2;
    } else if (read.starts_with("\xFE\xFF")) {
        encoding = TableEncoding::Utf16BigEndian;
        size = 2;
    }
    in.seekg(start + size);
    return encoding;
}

TableTextReader::TableTextReader(std::istream& in, TableEncoding encoding)
    : m_in(in)
    , m_encoding(encoding)
    , m_bytes(ChunkSize + 4)
{
}

bool TableTextReader::readChunk()
{
    std::memmove(m_bytes.data(), m_bytes.data() + m_size - m_carried, m_carried);
    m_in.read(m_bytes.data() + m_carried, static_cast<std::streamsize>(ChunkSize));
    const auto got = static_cast<std::size_t>(m_in.gcount());
    m_size = m_carried + got;
    m_carried = 0;
    return got > 0;
}

std::string_view TableTextReader::next()
{
    if (m_ended)
        return {};
    switch (m_encoding) {
    case TableEncoding::Utf8:
    case TableEncoding::Utf8WithMark:
        return nextUtf8();
    case TableEncoding::Utf16LittleEndian:
    case TableEncoding::Utf16BigEndian:
        return nextUtf16();
    case TableEncoding::Windows1252:
        break;
    }
    if (!readChunk()) {
        m_ended = true;
        return {};
    }
    m_text.clear();
    appendWindows1252AsUtf8({m_bytes.data(), m_size}, m_text);
    return m_text;
}

std::string_view TableTextReader::nextUtf8()
{
    for (;;) {
        const std::size_t carried = m_carried;
        if (!readChunk()) {
            m_ended = true;
            if (carried > 0)
                m_fault = notUtf8({m_bytes.data(), m_size}, 0);
            return {};
        }
        const std::string_view bytes(m_bytes.data(), m_size);
        const bool more = m_in.good();
        std::size_t at = 0;
        while (at < bytes.size()) {
            if (static_cast<unsigned char>(bytes[at]) < 0x80) {
                ++at;
                continue;
            }
            const std::size_t expected = utf8LengthFromLead(static_cast<unsigned char>(bytes[at]));
            if (more && expected > 0 && at + expected > bytes.size()) {
                m_carried = bytes.size() - at; // the rest of this character comes with the next chunk
                break;
            }
            const std::size_t length = utf8CharacterLength(bytes, at);
            if (length == 0) {
                m_fault = notUtf8(bytes, at);
                m_ended = true;
                break;
            }
            at += length;
        }
        if (at > 0 || m_ended)
            return bytes.substr(0, at);
    }
}

std::string_view TableTextReader::nextUtf16()
{
    const bool little = m_encoding == TableEncoding::Utf16LittleEndian;
    for (;;) {
        const std::size_t carried = m_carried;
        if (!readChunk()) {
            m_ended = true;
            if (carried > 0 || m_highSurrogate != 0)
                m_fault = "the text ends in half a UTF-16 character";
            return {};
        }
        m_text.clear();
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(m_bytes[i]); };
        std::size_t at = 0;
        for (; at + 1 < m_size; at += 2) {
            const char32_t unit = little ? byte(at) | byte(at + 1) << 8 : byte(at) << 8 | byte(at + 1);
            if (m_highSurrogate != 0) {
                if (!isLowSurrogate(unit)) {
                    m_fault = "the UTF-16 character " + hexUnit(m_highSurrogate) + " lacks its second half";
                    break;
                }
                appendUtf8(m_text, 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (unit - 0xDC00));
                m_highSurrogate = 0;
            } else if (isHighSurrogate(unit)) {
                m_highSurrogate = unit;
            } else if (isLowSurrogate(unit)) {
                m_fault = "the UTF-16 character " + hexUnit(unit) + " lacks its first half";
                break;
            } else {
                appendUtf8(m_text, unit);
            }
        }
        if (!m_fault.empty()) {
            m_ended = true;
            return m_text;
        }
        m_carried = m_size - at;
        if (!m_text.empty())
            return m_text;
    }
}

} // namespace brevorn
