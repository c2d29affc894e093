// The way replaceFileContents makes its temporary file, open to tests so that they can
// make the folder refuse a new file without needing a user who lacks permissions.
#pragma once

#include "roster_error.h"

#include <optional>
#include <string>
#include <string_view>

namespace brevorn::detail {

// Same contract as mkstemp: fills in the XXXXXX of the template, returns an open
// descriptor, or -1 with errno set.
using MakeTempFile = int (*)(char* pathTemplate);

std::optional<RosterError> replaceFileContents(const std::string& path, std::string_view bytes,
                                               MakeTempFile makeTempFile);

} // namespace brevorn::detail
