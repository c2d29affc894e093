// Peak memory of reading a large roster file, above what the program held before the read.
#include "bench_rosters.h"

#include "roster_reader.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <string>

namespace {

// A field of /proc/self/status in KiB ("VmHWM", "VmRSS").
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

} // namespace

int main()
{
    std::string path = brevorn::bench::largeRosterFile(brevorn::bench::largeFileMiB());
    auto roster = std::make_unique<brevorn::Roster>();

    // Start the peak over from here, so that making the file does not count.
    std::ofstream("/proc/self/clear_refs") << "5";
    long baseline = statusKiB("VmRSS");
    auto read = brevorn::ReadRosterFile(path, *roster);
    long peak = statusKiB("VmHWM");

    if (!read.ok()) {
        std::cerr << read.error().message << '\n';
        return 1;
    }
    std::cout << "memory: read " << path << " (" << roster->UnitCount << " units): peak " << peak / 1024.0
              << " MiB, baseline " << baseline / 1024.0 << " MiB, above baseline " << (peak - baseline) / 1024.0
              << " MiB (target: under 64 MiB)\n";
    return 0;
}
