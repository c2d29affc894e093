// The item grammar of roster files, scanned in bulk over fixed-size chunks of the input.
#include "item_scanner.h"

#include <cstring>

namespace brevorn {

ItemScanner::ItemScanner(std::istream& in, std::size_t chunkSize)
    : m_in(in)
    , m_chunkSize(chunkSize ? chunkSize : 1)
    , m_buffer(new char[m_chunkSize])
{
}

ItemScanner::~ItemScanner() = default;

bool ItemScanner::refill()
{
    if (m_inputEnded)
        return false;
    m_in.read(m_buffer.get(), static_cast<std::streamsize>(m_chunkSize));
    std::streamsize got = m_in.gcount();
    if (got <= 0) {
        m_inputEnded = true;
        m_readFailed = m_in.bad();
        return false;
    }
    m_pos = m_buffer.get();
    m_end = m_pos + got;
    return true;
}

void ItemScanner::countLineEnds(const char* begin, const char* end)
{
    for (const char* p = begin; p < end; ++p) {
        if (*p == '\r') {
            ++m_line;
            m_afterCarriageReturn = true;
        } else {
            if (*p == '\n' && !m_afterCarriageReturn)
                ++m_line;
            m_afterCarriageReturn = false;
        }
    }
}

std::string_view ItemScanner::nextPieceSlowly()
{
    for (;;) {
        if (m_state != State::Unquoted && m_state != State::Quoted)
            return {};
        if (m_pos == m_end && !refill()) {
            m_quoteUnclosed = m_state == State::Quoted;
            m_state = State::Ended;
            return {};
        }
        const char* begin = m_pos;
        if (m_state == State::Unquoted) {
            m_pos = detail::findDelimiter(m_pos, m_end);
            if (m_pos != m_end)
                m_state = State::AtDelimiter;
        } else {
            const void* quote = std::memchr(m_pos, '"', static_cast<std::size_t>(m_end - m_pos));
            m_pos = quote ? static_cast<const char*>(quote) : m_end;
            countLineEnds(begin, m_pos);
            if (quote) {
                ++m_pos;
                m_state = State::AfterQuote;
            }
        }
        std::size_t size = static_cast<std::size_t>(m_pos - begin) - (m_state == State::AfterQuote ? 1 : 0);
        if (size > 0)
            return std::string_view(begin, size);
    }
}

bool ItemScanner::nextItemSlowly()
{
    // Pass over what the caller did not take of the current item.
    while (!nextPiece().empty()) {
    }
    while (m_state == State::AfterQuote) {
        if (m_pos == m_end && !refill()) {
            m_state = State::Ended;
            break;
        }
        m_pos = detail::findDelimiter(m_pos, m_end);
        if (m_pos != m_end)
            m_state = State::AtDelimiter;
    }
    if (m_state == State::Ended)
        return false;
    if (m_state == State::AtDelimiter) {
        char delimiter = *m_pos++;
        m_afterComma = delimiter == ',';
        if (!m_afterComma) {
            ++m_line;
            // CR LF is one line end, also when a chunk ends between the two.
            if (delimiter == '\r' && (m_pos != m_end || refill()) && *m_pos == '\n')
                ++m_pos;
        }
        m_state = State::Between;
    }

    m_blankCount = 0;
    for (;;) {
        if (m_pos == m_end && !refill())
            return false;
        if (*m_pos != ' ' && *m_pos != '\t')
            break;
        // Kept for messages only, so a line of blanks costs no memory.
        if (m_blankCount < MaxBlanksKept)
            m_blanks[m_blankCount++] = *m_pos;
        ++m_pos;
    }
    m_itemLine = m_line;
    m_quoteUnclosed = false;
    if (*m_pos == '"') {
        ++m_pos;
        m_afterCarriageReturn = false;
        m_state = State::Quoted;
    } else {
        m_state = State::Unquoted;
    }
    return true;
}

} // namespace brevorn
