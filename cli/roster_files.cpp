// Reading the files the commands work on.
#include "roster_files.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace brevorn {

GameSettings LoadedRoster::takeGame()
{
    return {std::move(read.Day_Counter).value_or(""), std::move(read.Theatre).value_or(""),
            std::move(read.Season).value_or("")};
}

Expected<LoadedRoster> loadRoster(const std::filesystem::path& path, const FindingSink& findings)
{
    LoadedRoster loaded{std::make_unique<Roster>(), {}};
    Expected<RosterReadResult> read = ReadRosterFile(path, *loaded.roster, findings);
    if (!read)
        return read.error();
    loaded.read = std::move(read).value();
    return loaded;
}

Expected<std::string> fileBytes(const std::filesystem::path& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return RosterError{"cannot read " + quotedPath(path) + ": it is a folder", {}};
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        const int reason = errno;
        return RosterError{"cannot open " + quotedPath(path) + ": " +
                               (reason ? std::strerror(reason) : "the system gave no reason"),
                           {}};
    }
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad())
        return RosterError{"cannot read " + quotedPath(path) + ": the system reported an error part-way through", {}};
    return bytes;
}

void reportSave(const Expected<SaveOutcome>& saved, const std::filesystem::path& path, std::ostream& err)
{
    if (!saved)
        err << saved.error().message << '\n';
    else if (!saved.value().warnings.empty())
        err << saved.value().describe(path) << '\n';
}

std::string pathText(const std::filesystem::path& path)
{
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

} // namespace brevorn
