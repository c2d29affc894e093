// Rosters and roster files made up for the benchmarks.
#pragma once

#include "roster.h"

#include <cstdint>
#include <string>

namespace brevorn::bench {

// A roster with 500 fully filled units and its game texts.
Roster fullRoster();
GameSettings benchGame();

// Where the large file lives: BREVORN_BENCH_DIR, else the system's temporary folder.
std::string benchDataPath(const std::string& name);

// Writes (once) a roster file of about sizeMiB: 500 unit blocks, each carrying a long
// line under a key the game does not know (as a newer game version might add), which
// the reader passes over. Returns its path.
std::string largeRosterFile(std::uint64_t sizeMiB);

// Writes (once) a file of about sizeMiB made only of short lines: game sections
// repeated over and over, the worst case for the cost per item.
std::string denseRosterFile(std::uint64_t sizeMiB);

// Writes (once) a roster file whose Theatre is one value of sizeMiB: what a single
// value costs while it is read and prepared for saving.
std::string largeValueFile(std::uint64_t sizeMiB);

// BREVORN_BENCH_LARGE_MIB, else 1024.
std::uint64_t largeFileMiB();

// Writes (once) a CSV table of about sizeMiB in which every row past the header is a unit
// with a count no save accepts: far more rows, and far more problems, than a roster holds.
std::string badRowsTable(std::uint64_t sizeMiB);

// Writes (once) a CSV table of 500 units of about sizeMiB in all, each with a long name:
// a table that imports, whose texts are nearly all of its size.
std::string longNamesTable(std::uint64_t sizeMiB);

// Writes (once) a CSV table of about sizeMiB whose header row is nothing but unknown columns:
// a problem for each of them.
std::string unknownColumnsTable(std::uint64_t sizeMiB);

// BREVORN_BENCH_TABLE_MIB, else 50.
std::uint64_t tableFileMiB();

} // namespace brevorn::bench
