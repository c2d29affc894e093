// A way into the Windows replaceFileContents for tests: the system calls that put the
// temporary file in place, so that a test can give the outcomes a test system cannot provoke.
#pragma once

#include "file_replace.h"

#include <functional>
#include <string>

namespace brevorn::detail {

// Each stands in for one system call, takes the paths it would (full, in the \\?\ form) and
// returns 0 or the error code the call would leave, after changing the files as the call
// does for that code. An empty one is the system's own.
struct PlacingCalls
{
    // ReplaceFileW(replaced, replacement, backup, ...)
    std::function<unsigned long(const std::wstring& replaced, const std::wstring& replacement,
                                const std::wstring& backup)>
        replace;
    // MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
    std::function<unsigned long(const std::wstring& from, const std::wstring& to)> move;
};

Expected<SaveOutcome> replaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                                          const PlacingCalls& calls);

} // namespace brevorn::detail
