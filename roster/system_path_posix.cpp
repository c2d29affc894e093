// POSIX file functions take a path of any length the file system allows: nothing to do.
#include "system_path.h"

namespace brevorn {

std::filesystem::path systemPath(const std::filesystem::path& path)
{
    return path;
}

} // namespace brevorn
