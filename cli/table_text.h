// A table file's bytes as UTF-8 text, in whichever encoding a spreadsheet saved it.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace brevorn {

enum class TableEncoding {
    Utf8,              // no byte-order mark: UTF-8, or Windows-1252 when the bytes are not UTF-8
    Utf8WithMark,      // Excel's "CSV UTF-8"
    Utf16LittleEndian, // Excel's "Unicode Text", with its byte-order mark
    Utf16BigEndian,
    Windows1252, // the code page of Excel's "CSV (Comma delimited)" on Western systems
};

// Reads the byte-order mark at the stream's start, if any, and leaves the stream after it.
// Utf8 when there is none.
TableEncoding readByteOrderMark(std::istream& in);

// Hands on a stream's bytes piece by piece as UTF-8 text. The text ends early at the first
// bytes that do not belong to the encoding; fault() then says what they are.
class TableTextReader
{
public:
    TableTextReader(std::istream& in, TableEncoding encoding);

    // The next piece of text, valid until the next call; empty at the end.
    std::string_view next();

    // "byte 0xFC is not UTF-8", or empty when the text did not end early.
    const std::string& fault() const { return m_fault; }

private:
    std::string_view nextUtf8();
    std::string_view nextUtf16();
    // Reads the next chunk after the carried bytes; false at the end of the stream.
    bool readChunk();

    std::istream& m_in;
    TableEncoding m_encoding;
    std::vector<char> m_bytes; // the chunk read, after the bytes carried from the last one
    std::size_t m_size = 0;    // bytes in m_bytes
    std::size_t m_carried = 0; // bytes at the end of the last chunk that start a character
    char32_t m_highSurrogate = 0;
    std::string m_text;
    std::string m_fault;
    bool m_ended = false;
};

} // namespace brevorn
