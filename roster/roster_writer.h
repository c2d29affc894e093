// Writing the roster in the exact bytes of the roster file.
#pragma once

#include "expected.h"
#include "file_replace.h"
#include "roster.h"

#include <filesystem>
#include <string>

namespace brevorn {

// The whole file as Windows-1252 bytes with CR LF line ends: the "GAME:" lines from
// the game texts, then one 18-line block per unit in slots 1..UnitCount. Fails,
// listing every problem at once, when a day or count text has no decimal form or a
// text holds a character Windows-1252 cannot hold, or when memory runs out.
Expected<std::string> rosterFileBytes(const Roster& roster, const GameSettings& game);

// Builds the bytes, then replaces the file at path in one step (see file_replace.h).
// On failure the file on disk is as it was. The error names the path and the reason;
// running out of memory is such a failure too. A success may carry warnings.
Expected<SaveOutcome> WriteRosterFile(const std::filesystem::path& path, const Roster& roster,
                                      const std::string& dayText, const std::string& theatreText,
                                      const std::string& seasonText);

} // namespace brevorn
