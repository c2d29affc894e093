// Reading a roster file item by item into copies of the slots it fills, committed only when the whole file is read.
#include "roster_reader.h"

#include "item_scanner.h"
#include "system_path.h"
#include "unit_fields.h"
#include "windows1252.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string_view>
#include <vector>

namespace brevorn {

namespace {

enum class Section { None, Game, Units };

// Bytes of an item gathered before deciding what it is: more than the longest key with
// its "=", and enough to quote the start of an ignored item.
constexpr std::size_t HeadLimit = 64;
constexpr std::size_t QuotedLimit = 60;

constexpr std::size_t longestKey()
{
    std::size_t longest =
        std::max({armoredKey.size(), usedKey.size(), dayCounterKey.size(), theatreKey.size(), seasonKey.size()});
    for (const UnitField& field : unitFields)
        longest = std::max(longest, field.key.size());
    return longest;
}
constexpr std::size_t KeyLimit = longestKey();
static_assert(KeyLimit < HeadLimit);

// Where the key of a key line ends: its "=", looked for only as far as the longest key
// reaches, since an item whose first "=" stands further on holds no key. npos when none.
std::size_t keyEnd(std::string_view bytes)
{
    std::size_t reach = std::min(bytes.size(), KeyLimit + 1);
    for (std::size_t i = 0; i < reach; ++i) {
        if (bytes[i] == '=')
            return i;
    }
    return std::string_view::npos;
}

// Exact, case-sensitive comparison with a key or section line; cheap enough per item.
template <std::size_t N>
bool is(std::string_view bytes, const char (&text)[N])
{
    return bytes.size() == N - 1 && std::memcmp(bytes.data(), text, N - 1) == 0;
}

RosterError failure(std::string message)
{
    RosterError error;
    error.message = std::move(message);
    return error;
}

// Text as a finding shows it: line ends made visible.
void appendShown(std::string_view utf8, std::string& shown)
{
    for (char c : utf8) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else
            shown += c;
    }
}

// The start of an item as a finding shows it: decoded, line ends made visible, cut short.
std::string shownItem(std::string_view head, bool whole)
{
    std::string decoded;
    appendWindows1252AsUtf8(head.substr(0, QuotedLimit), decoded);
    std::string shown;
    appendShown(decoded, shown);
    if (!whole || head.size() > QuotedLimit)
        shown += "...";
    return "ignored \"" + shown + "\"";
}

// A value whose item ended at a comma, and the items the game then passes over on the same
// line: together they are what a value holding a comma turns into when the file is read.
class CutValue
{
public:
    void start(std::string_view key, std::string_view value, std::int64_t line)
    {
        m_started = true;
        m_line = line;
        m_shown.assign(key);
        m_shown += " \"";
        appendShown(value.substr(0, QuotedLimit), m_shown);
        m_shown += value.size() > QuotedLimit ? "...\"" : "\"";
        m_rest.clear();
        m_restCut = false;
    }

    bool started() const { return m_started; }

    // One more item after a comma that the game passes over: its leading blanks, then the start of its bytes.
    void add(std::string_view blanks, std::string_view head, bool whole)
    {
        if (m_restCut)
            return;
        m_rest += ',';
        m_rest += blanks;
        appendWindows1252AsUtf8(head.substr(0, QuotedLimit), m_rest);
        m_restCut = !whole || head.size() > QuotedLimit || m_rest.size() > QuotedLimit;
    }

    // The finding, when the value's line went on past a comma; nothing more is gathered.
    std::optional<ReaderFinding> finish()
    {
        if (!m_started || m_rest.empty()) {
            m_started = false;
            return std::nullopt;
        }
        m_started = false;
        std::string rest;
        appendShown(m_rest, rest);
        if (m_restCut)
            rest += "...";
        const bool onlyCommas = m_rest.find_first_not_of(", \t") == std::string::npos;
        return ReaderFinding{m_line,
                             m_shown + (onlyCommas ? " (the \"" + rest + "\" at its end is ignored)"
                                                   : " (\"" + rest + "\" after the comma is ignored)"),
                             ReaderFinding::Kind::CutAtComma};
    }

private:
    bool m_started = false;
    std::int64_t m_line = 0;
    std::string m_shown; // unit_name "Smith"
    std::string m_rest;  // ", J." decoded, at most a little over QuotedLimit bytes
    bool m_restCut = false;
};

class RosterReading
{
public:
    RosterReading(std::istream& in, const std::filesystem::path& sourceName, const Roster& roster,
                  const FindingSink& findings, const ValueSourceSink& valueSources)
        : m_scanner(in)
        , m_sourceName(sourceName)
        , m_roster(roster)
        , m_unitCount(roster.UnitCount)
        , m_findings(findings)
        , m_valueSources(valueSources)
    {
    }

    Expected<RosterReadResult> run(Roster& target);

private:
    // What an item's first bytes say, with more gathered when a chunk ended too early.
    struct Head
    {
        std::string_view bytes;
        bool whole = false;                          // bytes is the whole item
        std::size_t equals = std::string_view::npos; // the "=" that ends a possible key, see keyEnd
    };
    bool readHead(Head& head);

    std::string* gameTarget(std::string_view key, std::string_view& name);
    void storeValue(const Head& head, std::string& target);
    void report(std::int64_t line, std::string message, ReaderFinding::Kind kind = ReaderFinding::Kind::IgnoredItem);
    void noteSource(int slot, std::string_view key);
    void stored(std::string_view key, const std::string& value);
    bool passedOverAfterCut(const Head& head);
    void finishCut();
    UnitRecord& slotRecord(int slot);

    ItemScanner m_scanner;
    const std::filesystem::path& m_sourceName;
    // The caller's roster changes only when reading succeeds: until then the slots read are
    // copies, from slot 1 up to the last one a field was stored into.
    const Roster& m_roster;
    std::vector<UnitRecord> m_slots;
    int m_unitCount;
    const FindingSink& m_findings;
    const ValueSourceSink& m_valueSources;
    RosterReadResult m_result;
    std::string m_headBuffer;
    CutValue m_cut;
};

bool RosterReading::readHead(Head& head)
{
    std::string_view piece = m_scanner.nextPiece();
    if (piece.empty())
        return false;
    head.bytes = piece;
    head.whole = m_scanner.itemDone();
    head.equals = keyEnd(piece);
    if (head.whole || head.equals != std::string_view::npos || piece.size() >= HeadLimit)
        return true;

    // The chunk ended early in the item: gather enough of it to decide what it is.
    m_headBuffer.assign(piece);
    for (;;) {
        piece = m_scanner.nextPiece();
        head.whole = piece.empty() || m_scanner.itemDone();
        m_headBuffer.append(piece);
        head.equals = keyEnd(m_headBuffer);
        if (head.whole || head.equals != std::string_view::npos || m_headBuffer.size() >= HeadLimit)
            break;
    }
    head.bytes = m_headBuffer;
    return true;
}

// The setting the key names, and in name its key for good: the item's bytes do not outlast the value's reading.
std::string* RosterReading::gameTarget(std::string_view key, std::string_view& name)
{
    std::optional<std::string>* setting = nullptr;
    if (is(key, "Day_Counter")) {
        setting = &m_result.Day_Counter;
        name = dayCounterKey;
    } else if (is(key, "Theatre")) {
        setting = &m_result.Theatre;
        name = theatreKey;
    } else if (is(key, "Season")) {
        setting = &m_result.Season;
        name = seasonKey;
    } else {
        return nullptr;
    }
    if (!*setting)
        setting->emplace();
    return &**setting;
}

void RosterReading::storeValue(const Head& head, std::string& target)
{
    target.clear();
    appendWindows1252AsUtf8(head.bytes.substr(head.equals + 1), target);
    for (std::string_view piece = m_scanner.nextPiece(); !piece.empty(); piece = m_scanner.nextPiece())
        appendWindows1252AsUtf8(piece, target);
}

void RosterReading::report(std::int64_t line, std::string message, ReaderFinding::Kind kind)
{
    m_findings(ReaderFinding{line, std::move(message), kind});
}

void RosterReading::noteSource(int slot, std::string_view key)
{
    if (m_valueSources)
        m_valueSources(ValueSource{slot, key, m_scanner.itemLine()});
}

// A value was read: what follows on its line after a comma belongs to it in the file.
void RosterReading::stored(std::string_view key, const std::string& value)
{
    if (!m_findings)
        return;
    finishCut();
    m_cut.start(key, value, m_scanner.itemLine());
}

// An item the game passes over that stands after a comma on a value's line is part of that
// value as written, and is reported with it rather than on its own.
bool RosterReading::passedOverAfterCut(const Head& head)
{
    if (!m_cut.started() || !m_scanner.afterComma())
        return false;
    m_cut.add(m_scanner.blanks(), head.bytes, head.whole);
    return true;
}

void RosterReading::finishCut()
{
    if (!m_cut.started())
        return;
    if (std::optional<ReaderFinding> finding = m_cut.finish())
        m_findings(*finding);
}

// The copy of a slot, made when a field is first stored into it or into a slot above it:
// a field the file does not give keeps what the slot held.
UnitRecord& RosterReading::slotRecord(int slot)
{
    while (m_slots.size() < static_cast<std::size_t>(slot))
        m_slots.push_back(m_roster.UnitTable[m_slots.size() + 1]);
    return m_slots[static_cast<std::size_t>(slot - 1)];
}

Expected<RosterReadResult> RosterReading::run(Roster& target)
{
    Section section = Section::None;
    int nextSlot = 1;
    std::int64_t unfinishedBlockLine = 0; // where the first field of the not yet completed unit stood
    Head head;

    while (m_scanner.nextItem()) {
        if (m_cut.started() && !m_scanner.afterComma())
            finishCut();
        if (!readHead(head)) {
            if (m_cut.started())
                passedOverAfterCut(Head{{}, true});
            continue; // an empty item
        }
        if (head.whole && (is(head.bytes, "GAME:") || is(head.bytes, "UNITS:"))) {
            finishCut();
            section = head.bytes.size() == 5 ? Section::Game : Section::Units;
            continue;
        }
        if (section == Section::None) {
            if (m_findings)
                report(m_scanner.itemLine(), shownItem(head.bytes, head.whole) +
                                                 ": comes before the first section line (\"GAME:\" or \"UNITS:\")");
            continue;
        }

        // No "=" gives the empty key and a leading "=" the key "="; neither is a key.
        std::string_view key;
        if (head.equals != std::string_view::npos && head.equals > 0)
            key = head.bytes.substr(0, head.equals);

        if (section == Section::Game) {
            std::string_view name;
            if (std::string* setting = gameTarget(key, name)) {
                noteSource(0, name);
                storeValue(head, *setting);
                stored(name, *setting);
                continue;
            }
        } else {
            const UnitField* field = findUnitField(key);
            bool used = key == usedKey;
            if (field || used || key == armoredKey) {
                if (m_cut.started())
                    finishCut();
                if (nextSlot > MaxUnits)
                    return failure(quotedPath(m_sourceName) + " holds more than " + std::to_string(MaxUnits) +
                                   " units; the editor holds at most " + std::to_string(MaxUnits) +
                                   " (the 501st starts on line " + std::to_string(m_scanner.itemLine()) + ")");
                if (used) {
                    m_unitCount = nextSlot++;
                    unfinishedBlockLine = 0;
                } else if (field) {
                    if (!unfinishedBlockLine)
                        unfinishedBlockLine = m_scanner.itemLine();
                    noteSource(nextSlot, field->key);
                    UnitRecord& unit = slotRecord(nextSlot);
                    std::string* value = nullptr;
                    if (field->kind == FieldKind::Text) {
                        value = &(unit.*field->text);
                    } else {
                        std::optional<std::string>& count = unit.*field->count;
                        if (!count)
                            count.emplace();
                        value = &*count;
                    }
                    storeValue(head, *value);
                    stored(field->key, *value);
                }
                continue;
            }
        }
        if (m_findings && !passedOverAfterCut(head)) {
            report(m_scanner.itemLine(), shownItem(head.bytes, head.whole) + ": not a key of the " +
                                             (section == Section::Game ? "game" : "unit") + " section");
        }
    }

    if (m_scanner.readFailed())
        return failure("cannot read " + quotedPath(m_sourceName) +
                       ": the system reported an error part-way through the file");
    finishCut();
    // Only the last item can lack its closing quote: it ran to the end of the file.
    if (m_findings && m_scanner.quoteUnclosed())
        report(m_scanner.itemLine(),
               "the double quote that starts this item is never closed, so the item runs to the end of the file",
               ReaderFinding::Kind::UnclosedQuote);
    if (m_findings && unfinishedBlockLine)
        report(unfinishedBlockLine, "unit block starting here has no unit_used line, so it is not part of the roster",
               ReaderFinding::Kind::UnfinishedBlock);

    m_result.nextSlot = nextSlot;
    std::move(m_slots.begin(), m_slots.end(), target.UnitTable.begin() + 1);
    target.UnitCount = m_unitCount;
    // Moved, not copied: a game text may be as large as the file.
    return std::move(m_result);
}

RosterError outOfMemory(const std::filesystem::path& sourceName)
{
    return failure("cannot read " + quotedPath(sourceName) + ": there is not enough memory to hold its contents");
}

} // namespace

Expected<RosterReadResult> readRoster(std::istream& in, const std::filesystem::path& sourceName, Roster& roster,
                                      const FindingSink& findings, const ValueSourceSink& valueSources)
{
    // Running out of memory is one more way for a read to fail: the roster stays as it was.
    try {
        RosterReading reading(in, sourceName, roster, findings, valueSources);
        return reading.run(roster);
    } catch (const std::bad_alloc&) {
        return outOfMemory(sourceName);
    }
}

Expected<RosterReadResult> ReadRosterFile(const std::filesystem::path& path, Roster& roster,
                                          const FindingSink& findings, const ValueSourceSink& valueSources)
{
    if (path.empty())
        return failure("cannot open a roster file: no path was given");
    // Only a regular file: a pipe or a device could keep the reading waiting for ever.
    const std::filesystem::path systemName = systemPath(path);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(systemName, error);
    if (std::filesystem::is_directory(status))
        return failure("cannot read " + quotedPath(path) + ": it is a folder");
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return failure("cannot read " + quotedPath(path) + ": it is not a regular file (a pipe, a device or a socket)");
    errno = 0;
    std::ifstream in;
    try {
        in.open(systemName, std::ios::binary);
    } catch (const std::bad_alloc&) {
        return outOfMemory(path);
    }
    if (!in.is_open()) {
        int reason = errno;
        return failure("cannot open " + quotedPath(path) + ": " +
                       (reason ? std::strerror(reason) : "the system gave no reason"));
    }
    return readRoster(in, path, roster, findings, valueSources);
}

} // namespace brevorn
