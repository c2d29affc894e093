// Peak memory of reading large roster files, above what the program held before: a file of
// long lines nobody wants (memory stays flat), and one huge value read and prepared for
// saving (at most about twice the value).
#include "bench_rosters.h"
#include "process_memory.h"

#include "roster_reader.h"
#include "roster_writer.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

namespace {

using brevorn::bench::resetPeak;
using brevorn::bench::statusKiB;

double mib(long kib)
{
    return kib / 1024.0;
}

} // namespace

int main()
{
    using namespace brevorn;
    const std::string large = bench::largeRosterFile(bench::largeFileMiB());
    const std::string value = bench::largeValueFile(bench::largeFileMiB() / 4);

    {
        auto roster = std::make_unique<Roster>();
        const long baseline = resetPeak();
        const auto read = ReadRosterFile(large, *roster);
        const long peak = statusKiB("VmHWM");
        if (!read.ok()) {
            std::cerr << read.error().message << '\n';
            return 1;
        }
        std::cout << "memory: read " << large << " (" << roster->UnitCount << " units): peak " << mib(peak)
                  << " MiB, above baseline " << mib(peak - baseline) << " MiB (target: under 64 MiB)\n";
    }
    {
        auto roster = std::make_unique<Roster>();
        const long baseline = resetPeak();
        auto read = ReadRosterFile(value, *roster);
        if (!read.ok()) {
            std::cerr << read.error().message << '\n';
            return 1;
        }
        const long afterRead = statusKiB("VmHWM");
        const GameSettings game{"12", std::move(*read.value().Theatre), "Summer"};
        const auto bytes = rosterFileBytes(*roster, game);
        const long peak = statusKiB("VmHWM");
        const double size = static_cast<double>(std::filesystem::file_size(value)) / (1024 * 1024);
        std::cout << "memory: a value of " << size << " MiB read: peak above baseline " << mib(afterRead - baseline)
                  << " MiB; read and prepared for saving: " << mib(peak - baseline) << " MiB, "
                  << mib(peak - baseline) / size << " times the value (target: about 2)\n";
        if (!bytes.ok())
            return 1;
    }
    return 0;
}
