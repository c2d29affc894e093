// RFC 4180 by hand: the format is small, and its corner cases are what the tests pin down.
// The reader is a state machine fed piece by piece, so that no more than one cell is ever
// held, and no cell that nobody wants.
#include "csv.h"

namespace brevorn {

namespace {

// How far the header row is looked at for its separator: far beyond any header of unit keys.
constexpr std::size_t HeaderLookLimit = 64 * 1024;

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// The first comma, semicolon or tab outside quotes before the first line end outside
// quotes; a comma when there is none.
char separatorOf(std::string_view header)
{
    bool quoted = false;
    for (char c : header) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && isLineEnd(c))
            break;
        else if (!quoted && (c == ',' || c == ';' || c == '\t'))
            return c;
    }
    return ',';
}

// Whether the text holds a line end outside quotes, looked for from at on; quoted carries
// the state from one look to the next.
bool holdsRowEnd(std::string_view text, std::size_t at, bool& quoted)
{
    for (; at < text.size(); ++at) {
        if (text[at] == '"')
            quoted = !quoted;
        else if (!quoted && isLineEnd(text[at]))
            return true;
    }
    return false;
}

class CsvReading
{
public:
    CsvReading(CsvSink& sink, char separator)
        : m_sink(sink)
        , m_separator(separator)
    {
    }

    // Reads the piece; false once the sink stopped the reading.
    bool feed(std::string_view piece);
    // The text has ended: the row in progress is complete.
    void finish();

    std::size_t row() const { return m_stopped || m_state != State::RowStart ? m_row : m_row + 1 + m_emptyLines; }

private:
    enum class State {
        RowStart,      // nothing of the row read yet
        CellStart,     // after a separator
        Unquoted,      // in a cell that does not start with a quote
        Quoted,        // in a quoted cell
        QuoteInQuoted, // after a quote in a quoted cell: the closing one, or the first of ""
    };

    bool beginRow();
    void beginCell();
    void endCell();
    void endRow();
    void cellProblem(std::string message);

    CsvSink& m_sink;
    const char m_separator;
    State m_state = State::RowStart;
    bool m_stopped = false;
    bool m_afterReturn = false;   // a CR ended the row: an LF right after it belongs to it
    std::size_t m_emptyLines = 0; // empty lines not yet known to be rows: at the end of the text they are not
    std::size_t m_row = 0;        // the row in progress, or the last one
    std::size_t m_column = 0;
    bool m_wanted = false;
    bool m_cellHasProblem = false; // one problem per cell is enough
    std::string m_cell;
};

bool CsvReading::beginRow()
{
    for (; m_emptyLines > 0; --m_emptyLines) {
        if (!m_sink.rowBegins(++m_row))
            return false;
        // An empty line in the middle of the text is a row of one empty cell.
        m_column = 1;
        if (m_sink.wantsCell(m_row, 1))
            m_sink.cell(m_row, 1, {});
        m_sink.rowEnds(m_row, 1);
    }
    if (!m_sink.rowBegins(++m_row))
        return false;
    m_column = 1;
    return true;
}

void CsvReading::beginCell()
{
    m_wanted = m_sink.wantsCell(m_row, m_column);
    m_cellHasProblem = false;
    m_cell.clear();
}

void CsvReading::endCell()
{
    if (m_wanted)
        m_sink.cell(m_row, m_column, std::move(m_cell));
    m_cell = {};
}

void CsvReading::endRow()
{
    m_sink.rowEnds(m_row, m_column);
    m_state = State::RowStart;
}

void CsvReading::cellProblem(std::string message)
{
    if (!m_cellHasProblem)
        m_sink.problem(m_row, m_column, std::move(message));
    m_cellHasProblem = true;
}

bool CsvReading::feed(std::string_view piece)
{
    std::size_t i = 0;
    const std::size_t size = piece.size();
    while (i < size && !m_stopped) {
        const char c = piece[i];
        if (m_afterReturn) {
            m_afterReturn = false;
            if (c == '\n') {
                ++i;
                continue;
            }
        }
        switch (m_state) {
        case State::RowStart:
            if (isLineEnd(c)) {
                ++m_emptyLines;
                m_afterReturn = c == '\r';
                ++i;
                continue;
            }
            if (!beginRow()) {
                m_stopped = true;
                continue;
            }
            m_state = State::CellStart;
            continue;
        case State::CellStart:
            beginCell();
            if (c == '"') {
                m_state = State::Quoted;
                ++i;
            } else {
                m_state = State::Unquoted;
            }
            continue;
        case State::Unquoted: {
            std::size_t end = i;
            while (end < size && piece[end] != m_separator && piece[end] != '"' && !isLineEnd(piece[end]))
                ++end;
            if (m_wanted)
                m_cell.append(piece.substr(i, end - i));
            i = end;
            if (i == size)
                continue;
            if (piece[i] == '"') {
                cellProblem("a double quote inside a cell that does not start with one; quote the cell and double "
                            "the quote");
                if (m_wanted)
                    m_cell += '"';
                ++i;
                continue;
            }
            endCell();
            if (piece[i] == m_separator) {
                ++m_column;
                m_state = State::CellStart;
            } else {
                m_afterReturn = piece[i] == '\r';
                endRow();
            }
            ++i;
            continue;
        }
        case State::Quoted: {
            const std::size_t quote = piece.find('"', i);
            const std::size_t end = quote == std::string_view::npos ? size : quote;
            if (m_wanted)
                m_cell.append(piece.substr(i, end - i));
            i = end;
            if (i < size) {
                m_state = State::QuoteInQuoted;
                ++i;
            }
            continue;
        }
        case State::QuoteInQuoted:
            if (c == '"') {
                if (m_wanted)
                    m_cell += '"';
                m_state = State::Quoted;
                ++i;
                continue;
            }
            // The closing quote. Anything but a separator or a line end after it is kept as
            // it stands, up to the next one.
            if (c != m_separator && !isLineEnd(c))
                cellProblem("text after the double quote that closes the cell");
            m_cellHasProblem = true;
            m_state = State::Unquoted;
            continue;
        }
    }
    return !m_stopped;
}

void CsvReading::finish()
{
    if (m_stopped)
        return;
    switch (m_state) {
    case State::RowStart:
        return;
    case State::CellStart:
        beginCell();
        break;
    case State::Quoted:
        cellProblem("the double quote that starts this cell is never closed");
        break;
    case State::Unquoted:
    case State::QuoteInQuoted:
        break;
    }
    endCell();
    endRow();
}

bool needsQuotes(std::string_view cell, char separator)
{
    if (cell.find_first_of("\",;\r\n") != std::string_view::npos || cell.find(separator) != std::string_view::npos)
        return true;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    return !cell.empty() && (isBlank(cell.front()) || isBlank(cell.back()));
}

} // namespace

CsvEnd readCsv(const TextPieces& text, CsvSink& sink)
{
    // The header row first, for its separator.
    std::string header;
    bool quoted = false;
    bool rowEnd = false;
    bool ended = false;
    while (!rowEnd && header.size() < HeaderLookLimit) {
        const std::string_view piece = text();
        if (piece.empty()) {
            ended = true;
            break;
        }
        const std::size_t looked = header.size();
        header.append(piece);
        rowEnd = holdsRowEnd(header, looked, quoted);
    }
    const char separator = separatorOf(header);
    CsvReading reading(sink, separator);
    bool going = reading.feed(header);
    header = {};
    while (going && !ended) {
        const std::string_view piece = text();
        if (piece.empty())
            break;
        going = reading.feed(piece);
    }
    const std::size_t row = reading.row();
    reading.finish();
    return {separator, row};
}

void appendCsvRow(std::string& out, std::span<const std::string_view> cells, char separator)
{
    bool first = true;
    for (std::string_view cell : cells) {
        if (!first)
            out += separator;
        first = false;
        if (!needsQuotes(cell, separator)) {
            out += cell;
            continue;
        }
        out += '"';
        for (char c : cell) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    }
    out += "\r\n";
}

std::string columnLetters(std::size_t column)
{
    std::string letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    return letters;
}

} // namespace brevorn
