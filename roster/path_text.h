// Paths as UTF-8 text: how messages name a file, and how a name given as UTF-8 becomes a path.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace brevorn {

// A path as UTF-8; never throws. On Windows that is its UTF-16 name, with U+FFFD for a
// surrogate without its partner (NTFS allows such names); elsewhere the name's bytes as
// they are.
std::string pathText(const std::filesystem::path& path);

// pathText in double quotes, as every message shows a path.
std::string quotedPath(const std::filesystem::path& path);

// The path a UTF-8 name stands for, never read through Windows' ANSI code page, which
// turns what it cannot hold into look-alike letters and so into another file's name.
// Elsewhere a name's bytes are the name, whatever they are.
std::filesystem::path pathFromUtf8(std::string_view utf8);

} // namespace brevorn
