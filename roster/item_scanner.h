// Splitting a roster file's bytes into items, chunk by chunk, without holding the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <istream>
#include <memory>
#include <string_view>

namespace brevorn {

// Items are what the game's text input reads: an item ends at a comma or at a line end
// (CR LF, a lone LF or a lone CR); spaces and tabs at its start are skipped; an item that
// starts with a double quote runs to the next double quote, across line ends and commas,
// and what follows that quote up to the next comma or line end is dropped. Bytes are
// handed out raw (Windows-1252), in pieces that point into the read buffer, so that an
// item of any length costs no memory and an item nobody wants is never copied.
class ItemScanner
{
public:
    static constexpr std::size_t DefaultChunkSize = 64 * 1024;

    explicit ItemScanner(std::istream& in, std::size_t chunkSize = DefaultChunkSize);
    ~ItemScanner();
    ItemScanner(const ItemScanner&) = delete;
    ItemScanner& operator=(const ItemScanner&) = delete;

    // Moves to the next item, passing over what is left of the current one. False at the
    // end of the input, and when reading failed (see readFailed()).
    bool nextItem();

    // The next piece of the current item's bytes; valid until the next call of nextPiece
    // or nextItem. Empty when the item has nothing more: no piece is ever empty.
    std::string_view nextPiece();

    // True when every byte of the current item has been handed out. It may still be
    // false just before nextPiece finds that nothing follows.
    bool itemDone() const { return m_state != State::Unquoted && m_state != State::Quoted; }

    // The 1-based line on which the current item starts.
    std::int64_t itemLine() const { return m_itemLine; }

    // The item before the current one ended at a comma, so both stand on one line of the
    // file; blanks are the spaces and tabs passed over between that comma and the item.
    bool afterComma() const { return m_afterComma; }
    std::string_view blanks() const { return {m_blanks, m_blankCount}; }

    // The current item started with a double quote, and the input ended before the
    // closing one. Known once the item is done, and kept after nextItem returns false.
    bool quoteUnclosed() const { return m_quoteUnclosed; }

    // The stream reported an error: what was read before it is not the whole input.
    bool readFailed() const { return m_readFailed; }

private:
    enum class State {
        Between,     // the previous item and its end are consumed
        Unquoted,    // inside an item without quotes
        Quoted,      // between an item's quotes
        AfterQuote,  // past the closing quote, dropping bytes up to the item's end
        AtDelimiter, // at the comma or line end that ends the item, not yet consumed
        Ended,       // the input ended inside the item
    };

    bool nextItemSlowly();
    std::string_view nextPieceSlowly();
    bool refill();
    void countLineEnds(const char* begin, const char* end);

    std::istream& m_in;
    std::size_t m_chunkSize;
    std::unique_ptr<char[]> m_buffer;
    const char* m_pos = nullptr;
    const char* m_end = nullptr;
    bool m_inputEnded = false;
    bool m_readFailed = false;

    State m_state = State::Between;
    std::int64_t m_line = 1;
    std::int64_t m_itemLine = 0;
    bool m_afterCarriageReturn = false; // inside quotes: a LF right after a CR ends no extra line
    bool m_quoteUnclosed = false;
    bool m_afterComma = false;
    static constexpr std::size_t MaxBlanksKept = 16;
    std::uint8_t m_blankCount = 0;
    char m_blanks[MaxBlanksKept] = {};
};

namespace detail {

// The first comma, CR or LF in [p, end), or end. Most items are short and end within a
// plain look at their first bytes; a long one (a line the game does not know) is searched
// with the library's memchr, once for each delimiter, each search stopping at the best
// found so far.
inline const char* findDelimiter(const char* p, const char* end)
{
    const char* near = end - p > 32 ? p + 32 : end;
    for (; p < near; ++p) {
        // Letters and digits lie above all three: one comparison passes most bytes.
        const char c = *p;
        if (static_cast<unsigned char>(c) <= ',' && (c == ',' || c == '\r' || c == '\n'))
            return p;
    }
    const char* found = end;
    for (char delimiter : {'\n', '\r', ','}) {
        if (const void* hit = std::memchr(p, delimiter, static_cast<std::size_t>(found - p)))
            found = static_cast<const char*>(hit);
    }
    return found;
}

} // namespace detail

// The common case inline: an item that lies inside the buffer, after a delimiter that does
// not end the buffer. The rest, and every quoted item, goes the slow way.
inline bool ItemScanner::nextItem()
{
    if (m_state == State::AtDelimiter && m_end - m_pos >= 3) {
        char delimiter = *m_pos++;
        m_afterComma = delimiter == ',';
        if (!m_afterComma) {
            ++m_line;
            if (delimiter == '\r' && *m_pos == '\n')
                ++m_pos;
        }
        // At least one byte is left: the item's first.
        char first = *m_pos;
        if (first != ' ' && first != '\t' && first != '"') {
            m_blankCount = 0;
            m_itemLine = m_line;
            m_quoteUnclosed = false;
            m_state = State::Unquoted;
            return true;
        }
        m_state = State::Between;
    }
    return nextItemSlowly();
}

inline std::string_view ItemScanner::nextPiece()
{
    if (m_state == State::Unquoted && m_pos != m_end) {
        const char* begin = m_pos;
        const char* delimiter = detail::findDelimiter(begin, m_end);
        if (delimiter != m_end) {
            m_pos = delimiter;
            m_state = State::AtDelimiter;
            return std::string_view(begin, static_cast<std::size_t>(delimiter - begin));
        }
    }
    return nextPieceSlowly();
}

} // namespace brevorn
