// Reading /proc/self/status and resetting its peak.
#include "process_memory.h"

#include <fstream>

namespace brevorn::bench {

long statusKiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    }
    return -1;
}

long resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKiB("VmRSS");
}

} // namespace brevorn::bench
