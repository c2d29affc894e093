// UTF-8 in, UTF-16 out, a character never cut in two between writes.
#include "utf16_stream_buffer.h"

#include "utf16.h"

namespace brevorn {

namespace {

// Bytes gathered before they are converted: a console line or several.
constexpr std::size_t Capacity = 4096;

// Where the last character of bytes starts when its bytes are not all there yet, else the end.
std::size_t wholeCharactersEnd(std::string_view bytes)
{
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) != 0x80) {
            // A lead byte that needs more than is there, and whose bytes so far fit it.
            const std::size_t start = size - back;
            const std::size_t wanted = utf8LengthFromLead(byte);
            return wanted > back && malformedUtf8Length(bytes, start) == back ? start : size;
        }
    }
    return size;
}

} // namespace

Utf16StreamBuffer::Utf16StreamBuffer(Writer write)
    : m_write(std::move(write))
{
    m_pending.reserve(Capacity);
}

Utf16StreamBuffer::~Utf16StreamBuffer()
{
    writeOut(true);
}

Utf16StreamBuffer::int_type Utf16StreamBuffer::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return sync() == 0 ? traits_type::not_eof(c) : traits_type::eof();
    m_pending += traits_type::to_char_type(c);
    if (m_pending.size() >= Capacity && !writeOut(false))
        return traits_type::eof();
    return c;
}

std::streamsize Utf16StreamBuffer::xsputn(const char* bytes, std::streamsize count)
{
    m_pending.append(bytes, static_cast<std::size_t>(count));
    if (m_pending.size() >= Capacity && !writeOut(false))
        return 0;
    return count;
}

int Utf16StreamBuffer::sync()
{
    return writeOut(false) ? 0 : -1;
}

bool Utf16StreamBuffer::writeOut(bool atEnd)
{
    const std::size_t end = atEnd ? m_pending.size() : wholeCharactersEnd(m_pending);
    if (end == 0)
        return true;
    const std::u16string text = toUtf16<char16_t>(std::string_view(m_pending).substr(0, end));
    m_pending.erase(0, end);
    return m_write(text);
}

} // namespace brevorn
