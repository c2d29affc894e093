// Replacing a file's contents so that it is never left half written.
#pragma once

#include "roster_error.h"

#include <optional>
#include <string>
#include <string_view>

namespace brevorn {

// Writes bytes to a temporary file beside the target, checks every write, the flush
// (fsync) and the close, then renames it over the target and reads it back. A symbolic
// link is followed: the file it points to is replaced and the link stays. An existing
// file keeps its permissions. Where the folder refuses a new file but the file itself
// is writable, the bytes are written in place. On failure the old file is untouched,
// the temporary file is gone, and the error names the path and the system's reason.
std::optional<RosterError> replaceFileContents(const std::string& path, std::string_view bytes);

} // namespace brevorn
