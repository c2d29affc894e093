// RFC 4180 by hand: the format is small, and its corner cases are what the tests pin down.
#include "csv.h"

namespace brevorn {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

class CsvReading
{
public:
    explicit CsvReading(std::string_view bytes)
        : m_bytes(bytes)
    {
        if (m_bytes.starts_with(ByteOrderMark))
            m_pos = ByteOrderMark.size();
    }

    CsvTable run() &&
    {
        std::size_t emptyLinesAtEnd = 0;
        while (m_pos < m_bytes.size()) {
            const std::size_t start = m_pos;
            m_table.rows.push_back(readRow());
            emptyLinesAtEnd = isLineEnd(m_bytes[start]) ? emptyLinesAtEnd + 1 : 0;
        }
        // A file that ends in empty lines has no rows there.
        m_table.rows.resize(m_table.rows.size() - emptyLinesAtEnd);
        return std::move(m_table);
    }

private:
    std::vector<std::string> readRow()
    {
        std::vector<std::string> cells;
        for (;;) {
            cells.push_back(readCell(cells.size() + 1));
            if (m_pos < m_bytes.size() && m_bytes[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            // A line end (CR LF, LF or CR), or the end of the text.
            if (m_bytes.substr(m_pos).starts_with("\r\n"))
                m_pos += 2;
            else if (m_pos < m_bytes.size())
                ++m_pos;
            return cells;
        }
    }

    std::string readCell(std::size_t column)
    {
        const std::size_t row = m_table.rows.size() + 1;
        std::string cell;
        if (m_pos >= m_bytes.size() || m_bytes[m_pos] != '"') {
            const std::size_t end = std::min(m_bytes.find_first_of(",\r\n", m_pos), m_bytes.size());
            cell.assign(m_bytes.substr(m_pos, end - m_pos));
            m_pos = end;
            if (cell.find('"') != std::string::npos)
                problem(row, column,
                        "a double quote inside a cell that does not start with one; quote the cell "
                        "and double the quote");
            return cell;
        }

        ++m_pos;
        for (;;) {
            const std::size_t quote = m_bytes.find('"', m_pos);
            if (quote == std::string_view::npos) {
                cell.append(m_bytes.substr(m_pos));
                m_pos = m_bytes.size();
                problem(row, column, "the double quote that starts this cell is never closed");
                return cell;
            }
            cell.append(m_bytes.substr(m_pos, quote - m_pos));
            m_pos = quote + 1;
            if (m_pos < m_bytes.size() && m_bytes[m_pos] == '"') {
                cell += '"';
                ++m_pos;
                continue;
            }
            break;
        }
        if (m_pos < m_bytes.size() && m_bytes[m_pos] != ',' && !isLineEnd(m_bytes[m_pos])) {
            const std::size_t end = std::min(m_bytes.find_first_of(",\r\n", m_pos), m_bytes.size());
            cell.append(m_bytes.substr(m_pos, end - m_pos));
            m_pos = end;
            problem(row, column, "text after the double quote that closes the cell");
        }
        return cell;
    }

    void problem(std::size_t row, std::size_t column, std::string message)
    {
        m_table.problems.push_back({row, column, std::move(message)});
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    CsvTable m_table;
};

bool needsQuotes(std::string_view cell)
{
    if (cell.find_first_of("\",;\r\n") != std::string_view::npos)
        return true;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    return !cell.empty() && (isBlank(cell.front()) || isBlank(cell.back()));
}

} // namespace

CsvTable readCsv(std::string_view bytes)
{
    return CsvReading(bytes).run();
}

void appendCsvRow(std::string& out, std::span<const std::string_view> cells)
{
    bool first = true;
    for (std::string_view cell : cells) {
        if (!first)
            out += ',';
        first = false;
        if (!needsQuotes(cell)) {
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
