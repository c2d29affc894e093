// Replacing a file's contents so that it is never left half written.
#pragma once

#include "expected.h"

#include <filesystem>
#include <string_view>

namespace brevorn {

// Writes bytes to a temporary file beside the target, checks every write, the flush and
// the close, then puts it in the target's place in one step. A symbolic link is followed:
// the file it points to is replaced and the link stays. An existing file keeps its
// permissions. On failure the old file is untouched, the temporary file is gone, and the
// error names the path and the system's reason. One implementation per platform.
Expected<void> replaceFileContents(const std::filesystem::path& path, std::string_view bytes);

} // namespace brevorn
