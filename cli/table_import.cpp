// Reading a table of units back, with its problems found as the rows go by.
#include "roster_table.h"

#include "csv.h"
#include "roster_writer.h"
#include "table_text.h"
#include "unit_fields.h"
#include "utf8_lookalike.h"
#include "value_hazards.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <tuple>

namespace brevorn {

namespace {

constexpr std::size_t ShownTextLimit = 60; // bytes of a text that a message shows

std::size_t fieldNumber(const UnitField& field)
{
    return static_cast<std::size_t>(&field - unitFields.data()) + 1;
}

// A text as a message shows it, in quotes: control characters as \r, \n, \0 or \x1B, and
// cut short at a character when long.
std::string inQuotes(std::string_view text)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string shown = "\"";
    std::size_t end = text.size();
    if (end > ShownTextLimit) {
        end = ShownTextLimit;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
    }
    for (char c : text.substr(0, end)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else if (c == '\0')
            shown += "\\0";
        else if (byte < 0x20 || byte == 0x7F)
            shown += std::string("\\x") + digits[byte >> 4] + digits[byte & 0xF];
        else
            shown += c;
    }
    return shown + (end < text.size() ? "...\"" : "\"");
}

// What is wrong with a text of the table, or nothing.
std::optional<std::string> textProblem(std::string_view text)
{
    if (const std::optional<ReadBackHazard> hazard = readBackHazard(text))
        return inQuotes(text) + ": " + std::string(hazard->reason);
    if (const std::optional<std::string> original = textBeforeUtf8ReadAsWindows1252(text))
        return inQuotes(text) + ": looks like UTF-8 read as Windows-1252, and likely was " + inQuotes(*original) +
               "; open the table with the character set Unicode (UTF-8), or export it with --bom, and save it again";
    return std::nullopt;
}

constexpr std::string_view FormulaWarning = ": starts as a spreadsheet formula does; a spreadsheet that opens the "
                                            "table will calculate it unless the column's type is Text";

std::string tooManyUnits()
{
    return "the table has more than " + std::to_string(MaxUnits) + " units; a roster holds at most " +
           std::to_string(MaxUnits);
}

// One problem that makes the table unusable as a whole: whatever was found before it is moot.
void refuseWholeTable(ImportedTable& table, TableProblem problem)
{
    table.problems.replaceAll(std::move(problem));
    table.warnings = {};
    table.units.clear();
}

// Fills the table's units, judges each as it is complete, and names the place of each
// problem, as a spreadsheet or a script would look for it.
class UnitsBuilder
{
public:
    // For a CSV table: the 1-based column of each field, 0 where the table has none. For
    // JSON: nullptr.
    UnitsBuilder(ImportedTable& table, const std::array<std::size_t, unitFields.size()>* csvColumns)
        : m_table(table)
        , m_columns(csvColumns)
    {
    }

    std::size_t row(std::size_t unit) const { return m_columns ? unit + 2 : unit + 1; }
    std::size_t column(const UnitField& field) const
    {
        return m_columns ? (*m_columns)[fieldNumber(field) - 1] : fieldNumber(field);
    }

    // row 3, unit_ammo (column C)    or    units[2].unit_ammo
    std::string place(std::size_t unit, const UnitField& field) const
    {
        if (m_columns)
            return "row " + std::to_string(row(unit)) + ", " + std::string(field.key) + " (column " +
                   columnLetters(column(field)) + ")";
        return "units[" + std::to_string(unit) + "]." + std::string(field.key);
    }

    // what: the rest of the message after the place, e.g. ": needs a JSON string".
    void problem(std::size_t unit, const UnitField& field, std::string_view what)
    {
        m_pending.push_back({row(unit), column(field), place(unit, field) + std::string(what)});
    }

    void store(std::size_t unit, const UnitField& field, std::string text)
    {
        if (std::optional<std::string> wrong = textProblem(text)) {
            problem(unit, field, " " + *wrong);
            return;
        }
        // A count that starts so is no number, and the writer refuses it.
        if (field.kind == FieldKind::Text && looksLikeFormula(text))
            m_table.warnings.add(
                {row(unit), column(field), place(unit, field) + " " + inQuotes(text) + std::string(FormulaWarning)});
        setFieldText(m_table.units[unit], field, std::move(text));
    }

    // The unit is complete: the writer itself judges every value, so that the table refuses
    // exactly what a save would. Then its problems count, or, with keep false, are dropped.
    void finishUnit(std::size_t unit, bool keep)
    {
        if (keep) {
            judge(unit);
            for (TableProblem& problem : m_pending)
                m_table.problems.add(std::move(problem));
        }
        m_pending.clear();
    }

private:
    void judge(std::size_t unit)
    {
        if (!m_roster)
            m_roster = std::make_unique<Roster>();
        static const GameSettings writable{"0", "", ""};
        UnitRecord& record = m_table.units[unit];
        m_roster->UnitCount = 1;
        std::swap(m_roster->units().front(), record);
        const Expected<std::string> bytes = rosterFileBytes(*m_roster, writable);
        std::swap(m_roster->units().front(), record);
        if (bytes)
            return;
        for (const ValueProblem& refused : bytes.error().problems)
            problem(unit, *findUnitField(refused.fieldKey),
                    " " + inQuotes(refused.text) + ": needs " + refused.allowed);
    }

    ImportedTable& m_table;
    const std::array<std::size_t, unitFields.size()>* m_columns;
    std::vector<TableProblem> m_pending; // the unit's, until it is complete
    std::unique_ptr<Roster> m_roster;    // a roster of one unit, for the writer to judge
};

// Reads CSV rows straight into units, keeping only the cells of known columns.
class CsvTableReader final : public CsvSink
{
public:
    explicit CsvTableReader(ImportedTable& table)
        : m_table(table)
        , m_units(table, &m_columnOfField)
    {
    }

    bool rowBegins(std::size_t row) override
    {
        if (row > MaxUnits + 1) {
            refuseWholeTable(m_table, {row, 0, "row " + std::to_string(row) + ": " + tooManyUnits()});
            return false;
        }
        if (row > 1)
            m_table.units.emplace_back();
        return true;
    }

    bool wantsCell(std::size_t row, std::size_t column) override { return row == 1 || fieldAt(column); }

    void cell(std::size_t row, std::size_t column, std::string text) override
    {
        if (m_broken)
            return;
        if (row == 1) {
            headerCell(column, text);
            return;
        }
        const UnitField& field = *fieldAt(column);
        if (!text.empty() || field.kind != FieldKind::Count)
            m_units.store(row - 2, field, std::move(text));
    }

    void rowEnds(std::size_t row, std::size_t cells) override
    {
        if (row == 1) {
            m_headerColumns = cells;
            return;
        }
        if (m_broken) {
            m_units.finishUnit(row - 2, false);
            return;
        }
        const bool whole = cells == m_headerColumns;
        m_units.finishUnit(row - 2, whole);
        if (!whole)
            m_table.problems.add({row, 0,
                                  "row " + std::to_string(row) + ": " + std::to_string(cells) +
                                      (cells == 1 ? " cell" : " cells") + " where the header has " +
                                      std::to_string(m_headerColumns)});
    }

    void problem(std::size_t row, std::size_t column, std::string message) override
    {
        if (m_broken)
            return;
        m_table.problems.add(
            {row, column, "row " + std::to_string(row) + ", column " + columnLetters(column) + ": " + message});
    }

    bool sawHeader() const { return m_headerColumns > 0; }

    // The text broke off at bytes its encoding does not allow: the cell and the row in progress
    // were not read whole and say nothing of the table; the break itself is its problem.
    void textBroken() { m_broken = true; }

private:
    const UnitField* fieldAt(std::size_t column) const
    {
        const auto found = std::find(m_columnOfField.begin(), m_columnOfField.end(), column);
        return found == m_columnOfField.end() ? nullptr
                                              : &unitFields[static_cast<std::size_t>(found - m_columnOfField.begin())];
    }

    void headerCell(std::size_t column, const std::string& key)
    {
        const std::string where = "row 1, column " + columnLetters(column) + ": ";
        const UnitField* field = findUnitField(key);
        if (!field) {
            m_table.problems.add({1, column,
                                  where + "unknown column " + inQuotes(key) +
                                      "; the columns are the unit keys, unit_name to unit_smoke"});
        } else if (const std::size_t first = m_columnOfField[fieldNumber(*field) - 1]) {
            m_table.problems.add(
                {1, column, where + "column " + inQuotes(key) + " repeats column " + columnLetters(first)});
        } else {
            m_columnOfField[fieldNumber(*field) - 1] = column;
        }
    }

    ImportedTable& m_table;
    std::array<std::size_t, unitFields.size()> m_columnOfField{}; // 0 for a field the header lacks
    std::size_t m_headerColumns = 0;
    bool m_broken = false;
    UnitsBuilder m_units;
};

// One reading of a CSV table in one encoding; fault says why the text ended early.
struct CsvReadingOutcome
{
    ImportedTable table;
    std::string fault;
    std::size_t faultRow = 0;
};

CsvReadingOutcome readCsvTable(std::istream& in, TableEncoding encoding)
{
    CsvReadingOutcome outcome;
    TableTextReader text(in, encoding);
    CsvTableReader reader(outcome.table);
    const CsvEnd end = readCsv(
        [&] {
            const std::string_view piece = text.fault().empty() ? text.next() : std::string_view();
            if (piece.empty() && !text.fault().empty())
                reader.textBroken();
            return piece;
        },
        reader);
    if (!reader.sawHeader() && text.fault().empty())
        outcome.table.problems.add({0, 0, "the table is empty; it needs a header row of unit keys, such as unit_name"});
    outcome.fault = text.fault();
    outcome.faultRow = end.row;
    return outcome;
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
        , m_units(table, nullptr)
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
    bool end_object()
    {
        if (m_open.back().level == Level::Unit)
            m_units.finishUnit(m_open.back().unit, true);
        return close();
    }
    bool end_array() { return close(); }
    bool key(std::string& key);
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error);

    // What is missing once the whole text is read; not called when the reading stopped early.
    void finish();

private:
    enum class Level { Top, Game, Units, Unit, Skipped };
    struct Open
    {
        Level level;
        std::size_t unit = 0;             // in a unit: its index
        std::vector<std::string> keys;    // in an object: the known keys so far
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
        m_table.problems.add({row, column, std::move(message)});
    }
    void gameValue(const std::string& key, JsonValue value);
    void unitValue(const Open& unit, JsonValue value);

    ImportedTable& m_table;
    UnitsBuilder m_units;
    std::vector<Open> m_open;
    bool m_topIsObject = false;
    bool m_sawUnits = false;
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
        if (unit == MaxUnits) {
            // Nothing past this unit is read: the table cannot be imported as it stands.
            refuseWholeTable(m_table, {unit + 1, 0, "units[" + std::to_string(unit) + "]: " + tooManyUnits()});
            return false;
        }
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
    const bool known = object.level == Level::Top    ? key == "game" || key == "units"
                       : object.level == Level::Game ? key == dayCounterKey || key == theatreKey || key == seasonKey
                                                     : object.field != nullptr;
    if (!known) {
        // Unknown keys are not kept: an object of a million of them costs nothing.
        const std::string_view knownKeys = object.level == Level::Top ? "; a table has \"game\" and \"units\""
                                           : object.level == Level::Game
                                               ? "; the settings are Day_Counter, Theatre and Season"
                                               : "; the keys are unit_name to unit_smoke";
        refuse(row, 0, place + "unknown key " + inQuotes(key) + std::string(knownKeys));
    } else if (std::find(object.keys.begin(), object.keys.end(), key) != object.keys.end()) {
        refuse(row, object.field ? fieldNumber(*object.field) : 0,
               place + "key " + inQuotes(key) + " is given more than once");
    } else {
        object.keys.push_back(key);
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
    else if (const std::optional<std::string> wrong = textProblem(value.text))
        refuse(0, 0, "game." + key + " " + *wrong);
    else {
        if (looksLikeFormula(value.text))
            m_table.warnings.add({0, 0, "game." + key + " " + inQuotes(value.text) + std::string(FormulaWarning)});
        *setting = std::move(value.text);
    }
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
                        std::string(": needs ") + (count ? "a JSON string, a number or null" : "a JSON string") +
                            ", not " + value.shown());
}

bool JsonTableReader::parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error)
{
    // "[json.exception.parse_error.101] parse error at line 1, column 2: ..." without its code. Text that is
    // not JSON makes whatever was found before it moot.
    std::string_view what = error.what();
    what.remove_prefix(std::min(what.size(), what.find("] ") + 2));
    refuseWholeTable(m_table, {0, 0, "not JSON: " + std::string(what)});
    return false;
}

void JsonTableReader::finish()
{
    if (m_topIsObject && !m_sawUnits)
        refuse(0, 0, "no \"units\": the table needs an array of units");
}

} // namespace

void TableProblems::add(TableProblem problem)
{
    ++m_count;
    // Kept in table order, and only the first ones: a problem after the last one kept is dropped.
    const auto place = [](const TableProblem& a, const TableProblem& b) {
        return std::tie(a.row, a.column) < std::tie(b.row, b.column);
    };
    const auto at = std::upper_bound(m_shown.begin(), m_shown.end(), problem, place);
    if (m_shown.size() == ShownProblemLimit && at == m_shown.end())
        return;
    m_shown.insert(at, std::move(problem));
    if (m_shown.size() > ShownProblemLimit)
        m_shown.pop_back();
}

void TableProblems::replaceAll(TableProblem problem)
{
    m_shown = {std::move(problem)};
    m_count = 1;
}

ImportedTable importCsv(std::istream& in)
{
    const std::istream::pos_type start = in.tellg();
    const TableEncoding marked = readByteOrderMark(in);
    CsvReadingOutcome read = readCsvTable(in, marked);
    if (read.fault.empty())
        return std::move(read.table);
    if (marked != TableEncoding::Utf8) {
        // The text stopped at bytes its byte-order mark does not allow: what came before stands.
        const std::string why =
            marked == TableEncoding::Utf8WithMark
                ? ", though the table starts with UTF-8's byte-order mark; save it again as CSV UTF-8"
                : "; save it again as Unicode Text";
        read.table.problems.add({read.faultRow, 0, "row " + std::to_string(read.faultRow) + ": " + read.fault + why});
        return std::move(read.table);
    }
    // Not UTF-8: the bytes are read again as Windows-1252, in which every byte is a character.
    in.clear();
    in.seekg(start);
    CsvReadingOutcome again = readCsvTable(in, TableEncoding::Windows1252);
    again.table.encodingNote = "read as Windows-1252, as its bytes are not UTF-8 (row " +
                               std::to_string(read.faultRow) + ": " + read.fault + ")";
    return std::move(again.table);
}

ImportedTable importJson(std::istream& in)
{
    ImportedTable table;
    JsonTableReader reader(table);
    if (nlohmann::json::sax_parse(in, &reader))
        reader.finish();
    return table;
}

} // namespace brevorn
