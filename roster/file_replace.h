// Replacing a file's contents so that it is never left half written.
#pragma once

#include "expected.h"

#include <filesystem>
#include <string_view>

namespace brevorn {

// Writes bytes to a temporary file beside the target, checks every write, the flush and
// the close, then puts it in the target's place in one step. A symbolic link is followed:
// the file it points to is replaced and the link stays. An existing file keeps its
// permissions, its group, its access lists and the extended attributes the saver can see,
// and its owner where the system lets the saver keep it. A save that could not be done in one step is refused
// before anything changes: a file the saver may not write, a folder that takes no new file.
// On failure the old file is untouched, the temporary file is gone, and the error names the
// path and the reason. The one exception is a replacement that Windows leaves half done when
// no copy can then be moved to the file's name: the copies stay beside it, and the error
// names the file that holds the roster. One implementation per platform.
Expected<SaveOutcome> replaceFileContents(const std::filesystem::path& path, std::string_view bytes);

} // namespace brevorn
