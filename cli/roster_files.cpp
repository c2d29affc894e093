// Reading the files the commands work on.
#include "roster_files.h"

#include "system_path.h"

#include <cerrno>
#include <cstring>

namespace brevorn {

GameSettings LoadedRoster::takeGame()
{
    return {std::move(read.Day_Counter).value_or(""), std::move(read.Theatre).value_or(""),
            std::move(read.Season).value_or("")};
}

namespace {

std::size_t gameIndex(std::string_view key)
{
    return key == dayCounterKey ? 0 : key == theatreKey ? 1 : 2;
}

} // namespace

void ValueLines::note(const ValueSource& source)
{
    if (source.slot == 0) {
        m_game[gameIndex(source.key)] = source.line;
        return;
    }
    const auto slot = static_cast<std::size_t>(source.slot);
    if (m_units.size() <= slot)
        m_units.resize(slot + 1);
    m_units[slot][static_cast<std::size_t>(findUnitField(source.key) - unitFields.data())] = source.line;
}

std::int64_t ValueLines::lineOf(const ValueProblem& problem) const
{
    if (problem.slot == 0)
        return m_game[gameIndex(problem.fieldKey)];
    const auto slot = static_cast<std::size_t>(problem.slot);
    const UnitField* field = findUnitField(problem.fieldKey);
    if (slot >= m_units.size() || !field)
        return 0;
    return m_units[slot][static_cast<std::size_t>(field - unitFields.data())];
}

Expected<LoadedRoster> loadRoster(const std::filesystem::path& path, const FindingSink& findings,
                                  const ValueSourceSink& valueSources)
{
    LoadedRoster loaded{std::make_unique<Roster>(), {}, {}};
    const ValueSourceSink noteLine = [&](const ValueSource& source) {
        loaded.lines.note(source);
        if (valueSources)
            valueSources(source);
    };
    Expected<RosterReadResult> read = ReadRosterFile(path, *loaded.roster, findings, noteLine);
    if (!read)
        return read.error();
    loaded.read = std::move(read).value();
    return loaded;
}

Expected<std::ifstream> openRegularFile(const std::filesystem::path& path)
{
    const std::filesystem::path systemName = systemPath(path);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(systemName, error);
    if (std::filesystem::is_directory(status))
        return RosterError{"cannot read " + quotedPath(path) + ": it is a folder", {}};
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return RosterError{
            "cannot read " + quotedPath(path) + ": it is not a regular file (a pipe, a device or a socket)", {}};
    errno = 0;
    std::ifstream in(systemName, std::ios::binary);
    if (!in.is_open()) {
        const int reason = errno;
        return RosterError{"cannot open " + quotedPath(path) + ": " +
                               (reason ? std::strerror(reason) : "the system gave no reason"),
                           {}};
    }
    return in;
}

void reportSave(const Expected<SaveOutcome>& saved, const std::filesystem::path& path, std::ostream& err)
{
    if (!saved)
        err << saved.error().message << '\n';
    else if (!saved.value().warnings.empty())
        err << saved.value().describe(path) << '\n';
}

std::string located(const std::filesystem::path& path, std::int64_t line)
{
    return line > 0 ? pathText(path) + ":" + std::to_string(line) : pathText(path);
}

} // namespace brevorn
