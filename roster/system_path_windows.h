// The forms of a Windows path that the system's file functions take, for the Windows code of
// this library alone.
#pragma once

#include <filesystem>
#include <string>

namespace brevorn {

// The full path as Windows resolves it: from the current folder, with "." and ".." gone and
// the separators made backslashes; the empty text when the system cannot make one.
std::wstring fullPathName(const std::filesystem::path& path);

// The \\?\ form of a full path (\\?\UNC\ for a network path), which the file functions take
// as it is, past MAX_PATH too. A name already in that form is returned as it is.
std::wstring extendedLengthForm(const std::wstring& full);

} // namespace brevorn
