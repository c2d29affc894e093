// The form of a path to hand to the system's file functions. One implementation per platform.
#pragma once

#include <filesystem>

namespace brevorn {

// The path the system should open for path. On Windows a name whose full form reaches the
// classic limit of 260 characters gets the \\?\ form, which the file functions take up to
// 32767 characters; every other path is returned as it is. Messages keep naming path.
std::filesystem::path systemPath(const std::filesystem::path& path);

} // namespace brevorn
