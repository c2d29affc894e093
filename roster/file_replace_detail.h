// A way into the POSIX replaceFileContents for tests: a point at which to stop or kill a
// save that has written its temporary file but not yet put it in place.
#pragma once

#include "file_replace.h"

#include <functional>

namespace brevorn::detail {

// Called once the temporary file holds every byte and is flushed, just before it takes the
// target's place.
using BeforePlacing = std::function<void()>;

Expected<SaveOutcome> replaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                                          const BeforePlacing& beforePlacing);

} // namespace brevorn::detail
