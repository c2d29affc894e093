// Aligning two rosters' units like the lines of a text diff, and showing the result.
#include "roster_diff.h"

#include "shown_text.h"
#include "unit_fields.h"
#include "unit_json.h"

#include <cstdint>
#include <unordered_map>

namespace brevorn {

namespace {

// Each unit's name and side as a small number, equal numbers for equal pairs, so that the
// alignment compares numbers.
std::vector<std::uint32_t> identities(std::span<const UnitRecord> units,
                                      std::unordered_map<std::string, std::uint32_t>& known)
{
    std::vector<std::uint32_t> ids;
    ids.reserve(units.size());
    for (const UnitRecord& unit : units) {
        // The name's length first, so that no name and side can run into another pair.
        std::string key = std::to_string(unit.unit_name.size()) + ':' + unit.unit_name + unit.unit_side;
        ids.push_back(known.try_emplace(std::move(key), static_cast<std::uint32_t>(known.size())).first->second);
    }
    return ids;
}

constexpr std::size_t none = static_cast<std::size_t>(-1);

struct Step
{
    std::size_t oldIndex; // npos for an added unit
    std::size_t newIndex; // npos for a removed unit
};

// A longest common subsequence of the two sequences, with what is left over in between as
// removals before additions. The common start and end are set aside first: rosters from
// one battle to the next mostly agree there, and the table shrinks with them.
std::vector<Step> align(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    std::size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;

    const std::size_t m = a.size() - head - tail;
    const std::size_t n = b.size() - head - tail;
    // length[i][j]: the longest common subsequence of a[head+i..] and b[head+j..] in the middle part.
    std::vector<std::uint16_t> length((m + 1) * (n + 1), 0);
    const auto at = [&](std::size_t i, std::size_t j) -> std::uint16_t& { return length[i * (n + 1) + j]; };
    for (std::size_t i = m; i-- > 0;) {
        for (std::size_t j = n; j-- > 0;)
            at(i, j) = a[head + i] == b[head + j] ? static_cast<std::uint16_t>(at(i + 1, j + 1) + 1)
                                                  : std::max(at(i + 1, j), at(i, j + 1));
    }

    std::vector<Step> steps;
    for (std::size_t k = 0; k < head; ++k)
        steps.push_back({k, k});
    std::size_t i = 0, j = 0;
    while (i < m || j < n) {
        if (i < m && j < n && a[head + i] == b[head + j]) {
            steps.push_back({head + i++, head + j++});
        } else if (i < m && (j == n || at(i + 1, j) >= at(i, j + 1))) {
            steps.push_back({head + i++, none});
        } else {
            steps.push_back({none, head + j++});
        }
    }
    for (std::size_t k = tail; k > 0; --k)
        steps.push_back({a.size() - k, b.size() - k});
    return steps;
}

std::optional<std::string> heldValue(const UnitRecord& unit, const UnitField& field)
{
    if (field.kind == FieldKind::Count)
        return unit.*field.count;
    return unit.*field.text;
}

bool sameValue(const UnitRecord& a, const UnitRecord& b, const UnitField& field)
{
    return field.kind == FieldKind::Count ? a.*field.count == b.*field.count : a.*field.text == b.*field.text;
}

bool isNameOrSide(std::string_view key)
{
    return key == "unit_name" || key == "unit_side";
}

std::vector<ValueChange> changedFields(const UnitRecord& before, const UnitRecord& after)
{
    std::vector<ValueChange> changes;
    for (const UnitField& field : unitFields) {
        if (!sameValue(before, after, field))
            changes.push_back({field.key, heldValue(before, field), heldValue(after, field)});
    }
    return changes;
}

// A hash of the fields but name and side.
std::size_t otherFieldsHash(const UnitRecord& unit)
{
    std::size_t hash = 0;
    for (const UnitField& field : unitFields) {
        if (isNameOrSide(field.key))
            continue;
        const std::optional<std::string>* count = field.kind == FieldKind::Count ? &(unit.*field.count) : nullptr;
        const std::size_t one =
            count ? (*count ? std::hash<std::string>{}(**count) : 0x9E37u) : std::hash<std::string>{}(unit.*field.text);
        hash = hash * 31 + one;
    }
    return hash;
}

// Save Edit changes a unit where it stands: a new name or side, or both, on a unit that is
// otherwise the same; or, when it is the only unit that changed between two kept ones, a
// new name that keeps the side or a new side that keeps the name, with any other changes.
bool looksRenamed(const UnitRecord& before, const UnitRecord& after, bool onlyOneBetween)
{
    if (onlyOneBetween && (before.unit_name == after.unit_name || before.unit_side == after.unit_side))
        return true;
    for (const UnitField& field : unitFields) {
        if (!isNameOrSide(field.key) && !sameValue(before, after, field))
            return false;
    }
    return true;
}

// The steps of an alignment with the removed and added units that are one unit paired up:
// partner[k] is the step that step k is paired with, none for the rest.
class Pairing
{
public:
    Pairing(const std::vector<Step>& steps, std::span<const UnitRecord> oldUnits, std::span<const UnitRecord> newUnits)
        : m_steps(steps)
        , m_oldUnits(oldUnits)
        , m_newUnits(newUnits)
        , m_partner(steps.size(), none)
    {
    }

    // A removed and an added unit of the same name and side, wherever they stand; those
    // that are the same in every field first, so that namesakes pair with their equals.
    void pairMoved(const std::vector<std::uint32_t>& oldIds, const std::vector<std::uint32_t>& newIds)
    {
        std::unordered_map<std::uint32_t, std::vector<std::size_t>> addedById;
        for (std::size_t a = 0; a < m_steps.size(); ++a) {
            if (isLeftOver(a) && !removed(a))
                addedById[newIds[m_steps[a].newIndex]].push_back(a);
        }
        for (const bool exact : {true, false}) {
            for (std::size_t r = 0; r < m_steps.size(); ++r) {
                if (!isLeftOver(r) || !removed(r))
                    continue;
                const auto candidates = addedById.find(oldIds[m_steps[r].oldIndex]);
                if (candidates == addedById.end())
                    continue;
                for (std::size_t a : candidates->second) {
                    if (isLeftOver(a) && (!exact || oldUnit(r) == newUnit(a))) {
                        pair(r, a);
                        break;
                    }
                }
            }
        }
    }

    // Within each run of steps between two units both rosters keep (or an end), removed and
    // added units that look like one renamed unit, paired in order.
    void pairRenamed()
    {
        for (std::size_t start = 0; start < m_steps.size();) {
            std::size_t end = start;
            while (end < m_steps.size() && isUnpaired(m_steps[end]))
                ++end;
            std::size_t removedCount = 0, addedCount = 0;
            for (std::size_t k = start; k < end; ++k) {
                if (isLeftOver(k))
                    ++(removed(k) ? removedCount : addedCount);
            }
            const bool onlyOneBetween = removedCount == 1 && addedCount == 1;
            // Units whose other fields hash differently cannot be the same but for name and
            // side: the hashes are compared first, as one run may hold every unit of both rosters.
            std::vector<std::size_t> hashes(end - start);
            for (std::size_t k = start; k < end; ++k)
                hashes[k - start] = otherFieldsHash(removed(k) ? oldUnit(k) : newUnit(k));
            std::size_t nextAdded = start;
            for (std::size_t r = start; r < end; ++r) {
                if (!isLeftOver(r) || !removed(r))
                    continue;
                for (std::size_t a = nextAdded; a < end; ++a) {
                    if (isLeftOver(a) && !removed(a) && (onlyOneBetween || hashes[r - start] == hashes[a - start]) &&
                        looksRenamed(oldUnit(r), newUnit(a), onlyOneBetween)) {
                        pair(r, a);
                        nextAdded = a + 1;
                        break;
                    }
                }
            }
            start = end == start ? end + 1 : end;
        }
    }

    std::size_t partner(std::size_t step) const { return m_partner[step]; }
    const UnitRecord& oldUnit(std::size_t step) const { return m_oldUnits[m_steps[step].oldIndex]; }
    const UnitRecord& newUnit(std::size_t step) const { return m_newUnits[m_steps[step].newIndex]; }

private:
    static bool isUnpaired(const Step& step) { return step.oldIndex == none || step.newIndex == none; }
    bool isLeftOver(std::size_t step) const { return isUnpaired(m_steps[step]) && m_partner[step] == none; }
    bool removed(std::size_t step) const { return m_steps[step].newIndex == none; }
    void pair(std::size_t r, std::size_t a)
    {
        m_partner[r] = a;
        m_partner[a] = r;
    }

    const std::vector<Step>& m_steps;
    std::span<const UnitRecord> m_oldUnits;
    std::span<const UnitRecord> m_newUnits;
    std::vector<std::size_t> m_partner;
};

std::string shownValue(const std::optional<std::string>& text)
{
    return text ? quotedText(*text) : std::string("(unset)");
}

std::string listEntry(const UnitRecord& unit)
{
    return quotedText(unit.unit_name + " - " + unit.unit_side);
}

using Json = OrderedJson;

Json jsonChanges(const std::vector<ValueChange>& changes)
{
    Json object = Json::object();
    for (const ValueChange& change : changes)
        object[std::string(change.key)] = {{"old", textOrNull(change.oldText)}, {"new", textOrNull(change.newText)}};
    return object;
}

// JSON escapes the C0 controls but passes U+0080 to U+009F as they are, and some
// terminals act on those too. They can stand only inside strings, where \u00XX is the same.
std::string withC1ControlsEscaped(std::string json)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(json.size());
    for (std::size_t at = 0; at < json.size(); ++at) {
        const auto second = at + 1 < json.size() ? static_cast<unsigned char>(json[at + 1]) : 0u;
        if (static_cast<unsigned char>(json[at]) == 0xC2 && second >= 0x80 && second <= 0x9F) {
            out += "\\u00";
            out += digits[second >> 4];
            out += digits[second & 0xF];
            ++at;
        } else {
            out += json[at];
        }
    }
    return out;
}

const char* changeName(UnitChange::Kind kind)
{
    switch (kind) {
    case UnitChange::Kind::Removed:
        return "removed";
    case UnitChange::Kind::Added:
        return "added";
    case UnitChange::Kind::Changed:
        return "changed";
    case UnitChange::Kind::Renamed:
        return "renamed";
    case UnitChange::Kind::Moved:
        break;
    }
    return "moved";
}

} // namespace

RosterDiff diffRosters(const Roster& oldRoster, const GameSettings& oldGame, const Roster& newRoster,
                       const GameSettings& newGame)
{
    RosterDiff diff;
    const std::pair<std::string_view, std::string GameSettings::*> settings[] = {
        {dayCounterKey, &GameSettings::Day_Counter},
        {theatreKey, &GameSettings::Theatre},
        {seasonKey, &GameSettings::Season}};
    for (const auto& [key, text] : settings) {
        if (oldGame.*text != newGame.*text)
            diff.settings.push_back({key, oldGame.*text, newGame.*text});
    }

    const std::span<const UnitRecord> oldUnits = oldRoster.units();
    const std::span<const UnitRecord> newUnits = newRoster.units();
    std::unordered_map<std::string, std::uint32_t> known;
    const std::vector<std::uint32_t> oldIds = identities(oldUnits, known);
    const std::vector<std::uint32_t> newIds = identities(newUnits, known);

    const std::vector<Step> steps = align(oldIds, newIds);
    Pairing pairing(steps, oldUnits, newUnits);
    pairing.pairMoved(oldIds, newIds);
    pairing.pairRenamed();

    // A moved or renamed unit is shown where it was taken out.
    for (std::size_t k = 0; k < steps.size(); ++k) {
        const Step& step = steps[k];
        const std::size_t partner = pairing.partner(k);
        if (step.oldIndex == none) {
            if (partner == none)
                diff.units.push_back({UnitChange::Kind::Added,
                                      0,
                                      static_cast<int>(step.newIndex) + 1,
                                      &newUnits[step.newIndex],
                                      nullptr,
                                      {}});
            continue;
        }
        const std::size_t newIndex = step.newIndex != none ? step.newIndex
                                     : partner != none     ? steps[partner].newIndex
                                                           : none;
        if (newIndex == none) {
            diff.units.push_back({UnitChange::Kind::Removed,
                                  static_cast<int>(step.oldIndex) + 1,
                                  0,
                                  &oldUnits[step.oldIndex],
                                  nullptr,
                                  {}});
            continue;
        }
        const UnitRecord& before = oldUnits[step.oldIndex];
        const UnitRecord& after = newUnits[newIndex];
        UnitChange::Kind kind = UnitChange::Kind::Changed;
        if (step.newIndex == none)
            kind = oldIds[step.oldIndex] == newIds[newIndex] ? UnitChange::Kind::Moved : UnitChange::Kind::Renamed;
        else if (before == after)
            continue;
        diff.units.push_back({kind, static_cast<int>(step.oldIndex) + 1, static_cast<int>(newIndex) + 1, &after,
                              &before, changedFields(before, after)});
    }
    return diff;
}

std::string diffAsText(const RosterDiff& diff)
{
    std::string out;
    const auto changeLines = [&](const std::vector<ValueChange>& changes, std::string_view indent, bool skipIdentity) {
        for (const ValueChange& change : changes) {
            if (skipIdentity && isNameOrSide(change.key))
                continue;
            out += std::string(indent) + std::string(change.key) + " " + shownValue(change.oldText) + " → " +
                   shownValue(change.newText) + "\n";
        }
    };
    changeLines(diff.settings, "", false);
    for (const UnitChange& change : diff.units) {
        switch (change.kind) {
        case UnitChange::Kind::Removed:
            out += "removed unit " + std::to_string(change.oldSlot) + " " + listEntry(*change.unit) + "\n";
            continue;
        case UnitChange::Kind::Added:
            out += "added unit " + std::to_string(change.newSlot) + " " + listEntry(*change.unit) + "\n";
            continue;
        case UnitChange::Kind::Changed:
        case UnitChange::Kind::Moved:
            out += std::string(changeName(change.kind)) + " unit " + std::to_string(change.oldSlot) + " " +
                   listEntry(*change.unit);
            break;
        case UnitChange::Kind::Renamed:
            out += "renamed unit " + std::to_string(change.oldSlot) + " " + listEntry(*change.oldUnit) + " to " +
                   listEntry(*change.unit);
            break;
        }
        if (change.newSlot != change.oldSlot)
            out += ", now unit " + std::to_string(change.newSlot);
        out += "\n";
        changeLines(change.fields, "  ", change.kind == UnitChange::Kind::Renamed);
    }
    return out;
}

std::string diffAsJson(const RosterDiff& diff)
{
    Json units = Json::array();
    for (const UnitChange& change : diff.units) {
        Json& entry = units.emplace_back(Json::object());
        switch (change.kind) {
        case UnitChange::Kind::Removed:
            entry = {{"change", "removed"}, {"old_slot", change.oldSlot}, {"unit", unitAsJson(*change.unit)}};
            break;
        case UnitChange::Kind::Added:
            entry = {{"change", "added"}, {"new_slot", change.newSlot}, {"unit", unitAsJson(*change.unit)}};
            break;
        case UnitChange::Kind::Changed:
        case UnitChange::Kind::Renamed:
        case UnitChange::Kind::Moved:
            entry = {{"change", changeName(change.kind)},   {"old_slot", change.oldSlot},
                     {"new_slot", change.newSlot},          {"unit_name", change.unit->unit_name},
                     {"unit_side", change.unit->unit_side}, {"fields", jsonChanges(change.fields)}};
            break;
        }
    }
    const Json document = {{"settings", jsonChanges(diff.settings)}, {"units", std::move(units)}};
    return withC1ControlsEscaped(document.dump(2)) + "\n";
}

} // namespace brevorn
