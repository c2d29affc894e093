// The two commands of brevorn-roster, callable without a process: arguments in, exit code out.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace brevorn {

inline constexpr int ExitClean = 0;
inline constexpr int ExitFindings = 1; // a finding (check) or a value that cannot be saved (normalize)
inline constexpr int ExitTrouble = 2;  // a file that cannot be read or written, over 500 units, a malformed call

// Reads each file into an empty roster as the editor's LOAD does. Prints one summary line
// per readable file on out; every finding, read failure and value that saving would refuse
// goes to err as "file:line: message", or "file: message" where no line belongs to it.
// Every file is checked, whatever befell the ones before it.
int checkRosterFiles(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err);

// Reads inPath into an empty roster and writes it to outPath as the editor's SAVE does,
// with the game settings the file gave (the empty text where it gave none). Silent when
// it succeeds; on failure outPath is as it was and err says why.
int normalizeRosterFile(const std::string& inPath, const std::string& outPath, std::ostream& err);

} // namespace brevorn
