// Where export may write its table: never over what it reads, nor into a workbook's name.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace brevorn {

// Why export refuses to write its table to output, or nothing when it may: an ending that
// names a spreadsheet workbook (.xlsx, .xls, .ods, ...), which a text table would only
// pretend to be; the roster being exported itself, by identity, so also through a symbolic
// or hard link; and, unless force, an existing file that holds a roster: one with a "GAME:"
// or "UNITS:" line followed by a key of that section.
std::optional<std::string> exportOutputRefusal(const std::filesystem::path& roster, const std::filesystem::path& output,
                                               bool force);

} // namespace brevorn
