// Aligning two rosters' units like the lines of a text diff, and showing the result.
#include "roster_diff.h"

#include "unit_fields.h"
#include "unit_json.h"

#include <cstdint>
#include <unordered_map>

namespace brevorn {

namespace {

std::span<const UnitRecord> listedUnits(const Roster& roster)
{
    return {roster.UnitTable.data() + 1, static_cast<std::size_t>(roster.UnitCount)};
}

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
    constexpr std::size_t none = static_cast<std::size_t>(-1);
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

std::string shownValue(const std::optional<std::string>& text)
{
    return text ? "\"" + *text + "\"" : std::string("(unset)");
}

std::string listEntry(const UnitRecord& unit)
{
    return "\"" + unit.unit_name + " - " + unit.unit_side + "\"";
}

using Json = OrderedJson;

Json jsonChanges(const std::vector<ValueChange>& changes)
{
    Json object = Json::object();
    for (const ValueChange& change : changes)
        object[std::string(change.key)] = {{"old", textOrNull(change.oldText)}, {"new", textOrNull(change.newText)}};
    return object;
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

    const std::span<const UnitRecord> oldUnits = listedUnits(oldRoster);
    const std::span<const UnitRecord> newUnits = listedUnits(newRoster);
    std::unordered_map<std::string, std::uint32_t> known;
    const std::vector<std::uint32_t> oldIds = identities(oldUnits, known);
    const std::vector<std::uint32_t> newIds = identities(newUnits, known);

    for (const Step& step : align(oldIds, newIds)) {
        const int oldSlot = step.oldIndex < oldUnits.size() ? static_cast<int>(step.oldIndex) + 1 : 0;
        const int newSlot = step.newIndex < newUnits.size() ? static_cast<int>(step.newIndex) + 1 : 0;
        if (!newSlot) {
            diff.units.push_back({UnitChange::Kind::Removed, oldSlot, 0, &oldUnits[step.oldIndex], {}});
            continue;
        }
        if (!oldSlot) {
            diff.units.push_back({UnitChange::Kind::Added, 0, newSlot, &newUnits[step.newIndex], {}});
            continue;
        }
        const UnitRecord& before = oldUnits[step.oldIndex];
        const UnitRecord& after = newUnits[step.newIndex];
        if (before == after)
            continue;
        UnitChange change{UnitChange::Kind::Changed, oldSlot, newSlot, &after, {}};
        for (const UnitField& field : unitFields) {
            std::optional<std::string> oldText = heldValue(before, field);
            std::optional<std::string> newText = heldValue(after, field);
            if (oldText != newText)
                change.fields.push_back({field.key, std::move(oldText), std::move(newText)});
        }
        diff.units.push_back(std::move(change));
    }
    return diff;
}

std::string diffAsText(const RosterDiff& diff)
{
    std::string out;
    const auto changeLines = [&](const std::vector<ValueChange>& changes, std::string_view indent) {
        for (const ValueChange& change : changes)
            out += std::string(indent) + std::string(change.key) + " " + shownValue(change.oldText) + " → " +
                   shownValue(change.newText) + "\n";
    };
    changeLines(diff.settings, "");
    for (const UnitChange& change : diff.units) {
        switch (change.kind) {
        case UnitChange::Kind::Removed:
            out += "removed unit " + std::to_string(change.oldSlot) + " " + listEntry(*change.unit) + "\n";
            break;
        case UnitChange::Kind::Added:
            out += "added unit " + std::to_string(change.newSlot) + " " + listEntry(*change.unit) + "\n";
            break;
        case UnitChange::Kind::Changed:
            out += "changed unit " + std::to_string(change.oldSlot) + " " + listEntry(*change.unit);
            if (change.newSlot != change.oldSlot)
                out += ", now unit " + std::to_string(change.newSlot);
            out += "\n";
            changeLines(change.fields, "  ");
            break;
        }
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
            entry = {{"change", "changed"},
                     {"old_slot", change.oldSlot},
                     {"new_slot", change.newSlot},
                     {"unit_name", change.unit->unit_name},
                     {"unit_side", change.unit->unit_side},
                     {"fields", jsonChanges(change.fields)}};
            break;
        }
    }
    const Json document = {{"settings", jsonChanges(diff.settings)}, {"units", std::move(units)}};
    return document.dump(2) + "\n";
}

} // namespace brevorn
