// Reading a table of units back, with every problem it holds found at once.
#include "roster_table.h"

#include "csv.h"
#include "roster_writer.h"
#include "unit_fields.h"
#include "utf8_text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <tuple>

namespace brevorn {

namespace {

std::size_t fieldNumber(const UnitField& field)
{
    return static_cast<std::size_t>(&field - unitFields.data()) + 1;
}

std::string inQuotes(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

bool holdsLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

constexpr std::string_view LineBreakRefused = "holds a line break, which would end the value in the roster file";

std::string tooManyUnits(std::size_t count)
{
    return "the table has " + std::to_string(count) + " units; a roster holds at most " + std::to_string(MaxUnits);
}

// Fills the table's units and names the place of each problem, as a spreadsheet or a
// script would look for it.
class UnitsBuilder
{
public:
    // For a CSV table: the 1-based column of each field, 0 where the table has none.
    UnitsBuilder(ImportedTable& table, std::array<std::size_t, unitFields.size()> csvColumns)
        : m_table(table)
        , m_csv(true)
        , m_columns(csvColumns)
    {
    }
    explicit UnitsBuilder(ImportedTable& table)
        : m_table(table)
        , m_csv(false)
    {
    }

    std::size_t row(std::size_t unit) const { return m_csv ? unit + 2 : unit + 1; }
    std::size_t column(const UnitField& field) const
    {
        return m_csv ? m_columns[fieldNumber(field) - 1] : fieldNumber(field);
    }

    // row 3, unit_ammo (column C)    or    units[2].unit_ammo
    std::string place(std::size_t unit, const UnitField& field) const
    {
        if (m_csv)
            return "row " + std::to_string(row(unit)) + ", " + std::string(field.key) + " (column " +
                   columnLetters(column(field)) + ")";
        return "units[" + std::to_string(unit) + "]." + std::string(field.key);
    }

    void problem(std::size_t unit, const UnitField& field, std::string_view what)
    {
        m_table.problems.push_back({row(unit), column(field), place(unit, field) + ": " + std::string(what)});
    }

    void store(std::size_t unit, const UnitField& field, std::string text)
    {
        if (holdsLineBreak(text))
            problem(unit, field, LineBreakRefused);
        else
            setFieldText(m_table.units[unit], field, std::move(text));
    }

    // The writer itself judges every value, 500 units at a time, so that the table refuses
    // exactly what a save would.
    void addRefusedValues()
    {
        auto roster = std::make_unique<Roster>();
        const GameSettings writable{"0", "", ""};
        for (std::size_t first = 0; first < m_table.units.size(); first += MaxUnits) {
            const std::size_t count = std::min<std::size_t>(MaxUnits, m_table.units.size() - first);
            std::copy_n(m_table.units.begin() + static_cast<std::ptrdiff_t>(first), count,
                        roster->UnitTable.begin() + 1);
            roster->UnitCount = static_cast<int>(count);
            const Expected<std::string> bytes = rosterFileBytes(*roster, writable);
            if (bytes)
                continue;
            for (const ValueProblem& refused : bytes.error().problems) {
                const std::size_t unit = first + static_cast<std::size_t>(refused.slot) - 1;
                const UnitField& field = *findUnitField(refused.fieldKey);
                m_table.problems.push_back(
                    {row(unit), column(field),
                     place(unit, field) + " " + inQuotes(refused.text) + ": needs " + refused.allowed});
            }
        }
    }

private:
    ImportedTable& m_table;
    bool m_csv;
    std::array<std::size_t, unitFields.size()> m_columns{};
};

void sortByPlace(ImportedTable& table)
{
    std::stable_sort(table.problems.begin(), table.problems.end(), [](const TableProblem& a, const TableProblem& b) {
        return std::tie(a.row, a.column) < std::tie(b.row, b.column);
    });
}

// The CSV header: which field each column holds (nullptr for an unknown one), and which
// column each field stands in.
struct CsvHeader
{
    std::vector<const UnitField*> fieldOfColumn;
    std::array<std::size_t, unitFields.size()> columnOfField{};
};

CsvHeader readHeader(const std::vector<std::string>& cells, ImportedTable& table)
{
    CsvHeader header;
    for (std::size_t column = 1; column <= cells.size(); ++column) {
        const std::string& key = cells[column - 1];
        const std::string where = "row 1, column " + columnLetters(column) + ": ";
        const UnitField* field = findUnitField(key);
        if (!field) {
            const std::string name = firstNonUtf8(key) == std::string::npos ? inQuotes(key) : hexBytes(key);
            table.problems.push_back(
                {1, column,
                 where + "unknown column " + name + "; the columns are the unit keys, unit_name to unit_smoke"});
        } else if (std::size_t& first = header.columnOfField[fieldNumber(*field) - 1]) {
            table.problems.push_back(
                {1, column, where + "column " + inQuotes(key) + " repeats column " + columnLetters(first)});
            field = nullptr;
        } else {
            first = column;
        }
        header.fieldOfColumn.push_back(field);
    }
    return header;
}

// The start of a text up to its first bad byte, short enough for a message and cut at a character.
std::string textBefore(std::string_view text, std::size_t bad)
{
    std::size_t start = bad > 24 ? bad - 24 : 0;
    while (start < bad && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        ++start;
    return (start > 0 ? "..." : "") + std::string(text.substr(start, bad - start));
}

// A JSON value as the table reader meets it: a scalar with its text, or the start of an
// object or an array.
struct JsonValue
{
    enum class Kind { String, Number, Null, Other, Object, Array };
    Kind kind;
    std::string text; // the string, the number as written, "true", "false", "null"

    bool opens() const { return kind == Kind::Object || kind == Kind::Array; }

    // As a message shows it, cut short.
    std::string shown() const
    {
        if (kind == Kind::Object)
            return "an object";
        if (kind == Kind::Array)
            return "an array";
        std::string shown = kind == Kind::String ? inQuotes(text) : text;
        return shown.size() > 40 ? shown.substr(0, 37) + "..." : shown;
    }
};

// Reads a JSON table straight into units through nlohmann's SAX interface: no document is
// built, and a key given twice is seen as it comes (a document would keep one of them).
class JsonTableReader
{
public:
    explicit JsonTableReader(ImportedTable& table)
        : m_table(table)
        , m_units(table)
    {
    }

    bool null() { return value({JsonValue::Kind::Null, "null"}); }
    bool boolean(bool b) { return value({JsonValue::Kind::Other, b ? "true" : "false"}); }
    bool number_integer(std::int64_t n) { return value({JsonValue::Kind::Number, std::to_string(n)}); }
    bool number_unsigned(std::uint64_t n) { return value({JsonValue::Kind::Number, std::to_string(n)}); }
    bool number_float(double, const std::string& written) { return value({JsonValue::Kind::Number, written}); }
    bool string(std::string& text) { return value({JsonValue::Kind::String, std::move(text)}); }
    bool binary(nlohmann::json::binary_t&) { return true; } // JSON text has none
    bool start_object(std::size_t) { return value({JsonValue::Kind::Object, {}}); }
    bool start_array(std::size_t) { return value({JsonValue::Kind::Array, {}}); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }
    bool key(std::string& key);
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error);

    // What is missing once the whole text is read.
    void finish();

private:
    enum class Level { Top, Game, Units, Unit, Skipped };
    struct Open
    {
        Level level;
        std::size_t unit = 0;             // in a unit: its index
        std::vector<std::string> keys;    // in an object: the keys so far
        std::string key;                  // in an object: the key whose value comes next
        const UnitField* field = nullptr; // in a unit: the field of that key, if it is one
    };

    bool value(JsonValue value);
    bool close()
    {
        m_open.pop_back();
        return true;
    }
    void enter(Level level, std::size_t unit = 0) { m_open.push_back({level, unit, {}, {}, nullptr}); }
    void refuse(std::size_t row, std::size_t column, std::string message)
    {
        m_table.problems.push_back({row, column, std::move(message)});
    }
    void gameValue(const std::string& key, JsonValue value);
    void unitValue(const Open& unit, JsonValue value);

    ImportedTable& m_table;
    UnitsBuilder m_units;
    std::vector<Open> m_open;
    bool m_topIsObject = false;
    bool m_sawUnits = false;
    bool m_broken = false;
};

bool JsonTableReader::value(JsonValue value)
{
    const bool opens = value.opens();
    if (m_open.empty()) {
        if (value.kind == JsonValue::Kind::Object) {
            m_topIsObject = true;
            enter(Level::Top);
            return true;
        }
        refuse(0, 0, "needs a JSON object with \"units\" (and, if wanted, \"game\"), not " + value.shown());
    } else if (Open& open = m_open.back(); open.level == Level::Top) {
        if (open.key == "game" && value.kind == JsonValue::Kind::Object) {
            enter(Level::Game);
            return true;
        }
        if (open.key == "units" && value.kind == JsonValue::Kind::Array) {
            enter(Level::Units);
            return true;
        }
        if (open.key == "game")
            refuse(0, 0, "game: needs an object of game settings, not " + value.shown());
        else if (open.key == "units")
            refuse(0, 0, "units: needs an array of units, not " + value.shown());
    } else if (open.level == Level::Game) {
        gameValue(open.key, std::move(value));
    } else if (open.level == Level::Units) {
        const std::size_t unit = m_table.units.size();
        m_table.units.emplace_back();
        if (value.kind == JsonValue::Kind::Object) {
            enter(Level::Unit, unit);
            return true;
        }
        refuse(unit + 1, 0,
               "units[" + std::to_string(unit) + "]: needs an object of unit fields, not " + value.shown());
    } else if (open.level == Level::Unit) {
        unitValue(open, std::move(value));
    }
    // Whatever an unwanted object or array holds is passed over.
    if (opens)
        enter(Level::Skipped);
    return true;
}

bool JsonTableReader::key(std::string& key)
{
    Open& object = m_open.back();
    if (object.level == Level::Skipped)
        return true;
    const std::size_t row = object.level == Level::Unit ? object.unit + 1 : 0;
    const std::string place = object.level == Level::Game   ? "game: "
                              : object.level == Level::Unit ? "units[" + std::to_string(object.unit) + "]: "
                                                            : "";
    object.field = object.level == Level::Unit ? findUnitField(key) : nullptr;
    if (std::find(object.keys.begin(), object.keys.end(), key) != object.keys.end())
        refuse(row, object.field ? fieldNumber(*object.field) : 0,
               place + "key " + inQuotes(key) + " is given more than once");
    else
        object.keys.push_back(key);

    const bool known = object.level == Level::Top    ? key == "game" || key == "units"
                       : object.level == Level::Game ? key == dayCounterKey || key == theatreKey || key == seasonKey
                                                     : object.field != nullptr;
    if (!known) {
        const std::string_view knownKeys = object.level == Level::Top ? "; a table has \"game\" and \"units\""
                                           : object.level == Level::Game
                                               ? "; the settings are Day_Counter, Theatre and Season"
                                               : "; the keys are unit_name to unit_smoke";
        refuse(row, 0, place + "unknown key " + inQuotes(key) + std::string(knownKeys));
    }
    if (object.level == Level::Top && key == "units")
        m_sawUnits = true;
    object.key = std::move(key);
    return true;
}

void JsonTableReader::gameValue(const std::string& key, JsonValue value)
{
    std::optional<std::string>* setting = key == dayCounterKey ? &m_table.Day_Counter
                                          : key == theatreKey  ? &m_table.Theatre
                                          : key == seasonKey   ? &m_table.Season
                                                               : nullptr;
    if (!setting)
        return;
    const bool day = key == dayCounterKey;
    if (value.kind != JsonValue::Kind::String && !(day && value.kind == JsonValue::Kind::Number))
        refuse(0, 0,
               "game." + key + ": needs " + (day ? "a JSON string or a number" : "a JSON string") + ", not " +
                   value.shown());
    else if (holdsLineBreak(value.text))
        refuse(0, 0, "game." + key + ": " + std::string(LineBreakRefused));
    else
        *setting = std::move(value.text);
}

void JsonTableReader::unitValue(const Open& unit, JsonValue value)
{
    if (!unit.field)
        return;
    const UnitField& field = *unit.field;
    // Numbers are taken as written and left to the writer to judge; null leaves a count unset.
    const bool count = field.kind == FieldKind::Count;
    if (value.kind == JsonValue::Kind::String || (count && value.kind == JsonValue::Kind::Number))
        m_units.store(unit.unit, field, std::move(value.text));
    else if (!(count && value.kind == JsonValue::Kind::Null))
        m_units.problem(unit.unit, field,
                        std::string("needs ") + (count ? "a JSON string, a number or null" : "a JSON string") +
                            ", not " + value.shown());
}

bool JsonTableReader::parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error)
{
    // "[json.exception.parse_error.101] parse error at line 1, column 2: ..." without its code. Text that is
    // not JSON makes whatever was found before it moot.
    std::string_view what = error.what();
    what.remove_prefix(std::min(what.size(), what.find("] ") + 2));
    m_table.problems = {{0, 0, "not JSON: " + std::string(what)}};
    m_table.units.clear();
    m_broken = true;
    return false;
}

void JsonTableReader::finish()
{
    if (m_broken)
        return;
    if (!m_topIsObject)
        return;
    if (!m_sawUnits)
        refuse(0, 0, "no \"units\": the table needs an array of units");
    if (m_table.units.size() > MaxUnits)
        refuse(MaxUnits + 1, 0, "units[" + std::to_string(MaxUnits) + "]: " + tooManyUnits(m_table.units.size()));
    m_units.addRefusedValues();
}

} // namespace

ImportedTable importCsv(std::string_view bytes)
{
    ImportedTable table;
    CsvTable csv = readCsv(bytes);
    for (CsvProblem& problem : csv.problems)
        table.problems.push_back({problem.row, problem.column,
                                  "row " + std::to_string(problem.row) + ", column " + columnLetters(problem.column) +
                                      ": " + std::move(problem.message)});
    if (csv.rows.empty()) {
        table.problems.push_back({0, 0, "the table is empty; it needs a header row of unit keys, such as unit_name"});
        return table;
    }

    const CsvHeader header = readHeader(csv.rows.front(), table);
    const std::size_t unitCount = csv.rows.size() - 1;
    if (unitCount > MaxUnits)
        table.problems.push_back(
            {MaxUnits + 2, 0, "row " + std::to_string(MaxUnits + 2) + ": " + tooManyUnits(unitCount)});
    table.units.resize(unitCount);
    UnitsBuilder units(table, header.columnOfField);

    for (std::size_t unit = 0; unit < unitCount; ++unit) {
        std::vector<std::string>& cells = csv.rows[unit + 1];
        if (cells.size() != header.fieldOfColumn.size()) {
            const std::size_t row = units.row(unit);
            table.problems.push_back({row, 0,
                                      "row " + std::to_string(row) + ": " + std::to_string(cells.size()) +
                                          (cells.size() == 1 ? " cell" : " cells") + " where the header has " +
                                          std::to_string(header.fieldOfColumn.size())});
            continue;
        }
        for (std::size_t column = 0; column < cells.size(); ++column) {
            const UnitField* field = header.fieldOfColumn[column];
            std::string& text = cells[column];
            if (!field || (text.empty() && field->kind == FieldKind::Count))
                continue;
            if (const std::size_t bad = firstNonUtf8(text); bad != std::string::npos) {
                units.problem(unit, *field,
                              "byte " + hexBytes(text.substr(bad, 1)) + " after " + inQuotes(textBefore(text, bad)) +
                                  " is not UTF-8; save the table as UTF-8");
                continue;
            }
            units.store(unit, *field, std::move(text));
        }
    }
    units.addRefusedValues();
    sortByPlace(table);
    return table;
}

ImportedTable importJson(std::string_view bytes)
{
    ImportedTable table;
    JsonTableReader reader(table);
    if (nlohmann::json::sax_parse(bytes.begin(), bytes.end(), &reader))
        reader.finish();
    sortByPlace(table);
    return table;
}

} // namespace brevorn
