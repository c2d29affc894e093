// Files as the commands read them: rosters with what the reading found, tables as bytes.
#pragma once

#include "expected.h"
#include "roster.h"
#include "roster_reader.h"

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

namespace brevorn {

// A roster read into an empty table, as the editor's LOAD does after start-up. The table
// of 501 slots lives on the heap: it is too large for the stack.
struct LoadedRoster
{
    std::unique_ptr<Roster> roster;
    RosterReadResult read;

    // What the editor's game boxes show after such a LOAD: the file's texts, empty where it
    // gave none. Moved out of read, as a text may be as large as the file.
    GameSettings takeGame();
};

Expected<LoadedRoster> loadRoster(const std::filesystem::path& path, const FindingSink& findings = {});

// The whole file; the error names the path and the system's reason.
Expected<std::string> fileBytes(const std::filesystem::path& path);

// Says what a save has to tell: its warnings when it put the file in place, its message when
// it failed.
void reportSave(const Expected<SaveOutcome>& saved, const std::filesystem::path& path, std::ostream& err);

// A path as the start of a "file: message" or "file:line: message" line shows it: UTF-8, unquoted.
std::string pathText(const std::filesystem::path& path);

} // namespace brevorn
