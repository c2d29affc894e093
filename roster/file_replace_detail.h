// The way the POSIX replaceFileContents makes its temporary file, open to tests so that
// they can make the folder refuse a new file without needing a user who lacks permissions.
#pragma once

#include "expected.h"

#include <filesystem>
#include <string_view>

namespace brevorn::detail {

// Same contract as mkstemp: fills in the XXXXXX of the template, returns an open
// descriptor, or -1 with errno set.
using MakeTempFile = int (*)(char* pathTemplate);

Expected<void> replaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                                   MakeTempFile makeTempFile);

} // namespace brevorn::detail
