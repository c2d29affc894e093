// Files as the commands read them: rosters with what the reading found, tables as bytes.
#pragma once

#include "expected.h"
#include "path_text.h" // pathText starts a "file: message" or "file:line: message" line
#include "roster.h"
#include "roster_reader.h"
#include "unit_fields.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace brevorn {

// The line each value of a roster was last read from, so that a message about the value
// can name it.
class ValueLines
{
public:
    void note(const ValueSource& source);

    // The line of the value a save refused; 0 when no line gave it (a setting the file lacks).
    std::int64_t lineOf(const ValueProblem& problem) const;

private:
    std::vector<std::array<std::int64_t, unitFields.size()>> m_units; // by slot
    std::array<std::int64_t, 3> m_game{};                             // day, theatre, season
};

// A roster read into an empty table, as the editor's LOAD does after start-up. The table
// of 501 slots lives on the heap: it is too large for the stack.
struct LoadedRoster
{
    std::unique_ptr<Roster> roster;
    RosterReadResult read;
    ValueLines lines;

    // What the editor's game boxes show after such a LOAD: the file's texts, empty where it
    // gave none. Moved out of read, as a text may be as large as the file.
    GameSettings takeGame();
};

// Findings and value sources go to the sinks given, as the reader finds them.
Expected<LoadedRoster> loadRoster(const std::filesystem::path& path, const FindingSink& findings = {},
                                  const ValueSourceSink& valueSources = {});

// The file, open for reading bytes, when it is a regular one: a pipe or a device could keep
// the reading waiting for ever or never end. The error names the path and the reason.
Expected<std::ifstream> openRegularFile(const std::filesystem::path& path);

// Prints the message of each result that failed, which names its file; true when any did.
template <class... T>
bool reportFailures(std::ostream& err, const Expected<T>&... results)
{
    bool failed = false;
    const auto report = [&](const auto& result) {
        if (!result) {
            err << result.error().message << '\n';
            failed = true;
        }
    };
    (report(results), ...);
    return failed;
}

// Says what a save has to tell: its warnings when it put the file in place, its message when
// it failed.
void reportSave(const Expected<SaveOutcome>& saved, const std::filesystem::path& path, std::ostream& err);

// "file:line", or "file" for line 0.
std::string located(const std::filesystem::path& path, std::int64_t line);

} // namespace brevorn
