// Turning the roster into the exact bytes of a roster file, and saving them.
#include "roster_writer.h"

#include "decimal_form.h"
#include "file_replace.h"
#include "unit_fields.h"
#include "utf8_text.h"
#include "windows1252.h"

#include <new>
#include <string_view>
#include <vector>

namespace brevorn {

namespace {

// Which value a line carries, for naming it when it cannot be written.
struct Place
{
    int slot = 0; // 0 for a game setting
    std::string_view unitName;
};

std::string charactersAllowed(std::string_view badCharacter)
{
    const std::string what = "characters Windows-1252 can hold";
    if (isOneUtf8Character(badCharacter))
        return what + " (\"" + std::string(badCharacter) + "\" is not one)";
    return what + ", as well-formed UTF-8 (the bytes " + hexBytes(badCharacter) + " are not)";
}

// The file's bytes line by line, with every value that cannot go into them.
class RosterBytes
{
public:
    // Room for the whole file at once, so that building it never holds the bytes twice.
    explicit RosterBytes(std::size_t sizeBound) { m_bytes.reserve(sizeBound); }

    void line(std::string_view ascii)
    {
        m_bytes += ascii;
        m_bytes += "\r\n";
    }

    void keyLine(std::string_view key, std::string_view asciiValue)
    {
        m_bytes += key;
        m_bytes += '=';
        line(asciiValue);
    }

    void textLine(const Place& place, std::string_view key, std::string_view text)
    {
        m_bytes += key;
        m_bytes += '=';
        std::string badCharacter;
        if (!appendUtf8AsWindows1252(text, m_bytes, &badCharacter))
            refuse(place, key, text, charactersAllowed(badCharacter));
        line({});
    }

    void numberLine(const Place& place, std::string_view key, std::optional<int> number, std::string_view text,
                    int maximum)
    {
        if (number)
            keyLine(key, std::to_string(*number));
        else
            refuse(place, key, text, decimalFormRule(maximum));
    }

    Expected<std::string> finish() &&
    {
        if (m_problems.empty())
            return std::move(m_bytes);
        std::string message = m_problems.size() == 1 ? std::string("1 value cannot be written:")
                                                     : std::to_string(m_problems.size()) + " values cannot be written:";
        for (const ValueProblem& problem : m_problems)
            message += "\n  " + problem.describe();
        return RosterError{std::move(message), std::move(m_problems)};
    }

private:
    void refuse(const Place& place, std::string_view key, std::string_view text, std::string allowed)
    {
        m_problems.push_back(
            {place.slot, std::string(place.unitName), std::string(key), std::string(text), std::move(allowed)});
    }

    std::string m_bytes;
    std::vector<ValueProblem> m_problems;
};

void writeUnit(RosterBytes& out, int slot, const UnitRecord& unit)
{
    const Place place{slot, unit.unit_name};
    for (const UnitField& field : unitFields) {
        if (field.kind == FieldKind::Count) {
            const std::optional<std::string>& count = unit.*field.count;
            out.numberLine(place, field.key, countDecimalForm(count), count.value_or(""), MaxCount);
        } else {
            out.textLine(place, field.key, unit.*field.text);
        }
        // Not held in the unit: derived from the armour type, case-sensitively.
        if (field.text == &UnitRecord::unit_armor_type)
            out.keyLine(armoredKey, unit.unit_armor_type == "None" ? "No" : "Yes");
    }
    out.keyLine(usedKey, "no");
    out.line({});
}

// The game texts, by view: a text of any size is read where it is, never copied.
struct GameTexts
{
    std::string_view day, theatre, season;
};

// At least the size of the file: a text takes no more bytes in Windows-1252 than in
// UTF-8, a number no more than two digits, and no line more than its key and 4 bytes.
std::size_t fileSizeBound(const Roster& roster, const GameTexts& game)
{
    constexpr std::size_t lineBound = 32; // a key, "=", a number or "Yes", CR LF
    std::size_t size = 8 * lineBound + game.day.size() + game.theatre.size() + game.season.size();
    for (const UnitRecord& unit : roster.units()) {
        size += 20 * lineBound;
        for (const UnitField& field : unitFields)
            size += field.kind == FieldKind::Text ? (unit.*field.text).size() : 0;
    }
    return size;
}

Expected<std::string> fileBytes(const Roster& roster, const GameTexts& game)
{
    if (roster.UnitCount < 0 || roster.UnitCount > MaxUnits)
        return RosterError{
            "the unit count " + std::to_string(roster.UnitCount) + " is outside 0 to " + std::to_string(MaxUnits), {}};

    RosterBytes out(fileSizeBound(roster, game));
    const Place gameSetting;
    out.line("GAME:");
    out.numberLine(gameSetting, dayCounterKey, decimalForm(game.day, MaxDayCounter), game.day, MaxDayCounter);
    out.textLine(gameSetting, theatreKey, game.theatre);
    out.textLine(gameSetting, seasonKey, game.season);
    out.line({});
    out.line("UNITS:");
    int slot = 0;
    for (const UnitRecord& unit : roster.units())
        writeUnit(out, ++slot, unit);
    return std::move(out).finish();
}

RosterError outOfMemory(const std::filesystem::path& path)
{
    return RosterError{"cannot save " + quotedPath(path) + ": there is not enough memory to prepare its contents", {}};
}

} // namespace

Expected<std::string> rosterFileBytes(const Roster& roster, const GameSettings& game)
{
    try {
        return fileBytes(roster, {game.Day_Counter, game.Theatre, game.Season});
    } catch (const std::bad_alloc&) {
        return RosterError{"there is not enough memory to prepare the roster file's contents", {}};
    }
}

Expected<SaveOutcome> WriteRosterFile(const std::filesystem::path& path, const Roster& roster,
                                      const std::string& dayText, const std::string& theatreText,
                                      const std::string& seasonText)
{
    try {
        // Every byte is prepared before the file is touched, so a refused value leaves it as it was.
        Expected<std::string> bytes = fileBytes(roster, {dayText, theatreText, seasonText});
        if (!bytes) {
            RosterError error = std::move(bytes.error());
            error.message = "cannot save " + quotedPath(path) + ": " + error.message;
            return error;
        }
        return replaceFileContents(path, bytes.value());
    } catch (const std::bad_alloc&) {
        return outOfMemory(path);
    }
}

} // namespace brevorn
