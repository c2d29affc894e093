// Peak memory and time of brevorn-roster's import of large CSV tables, above what the program
// held before: one of bad rows far past the 500 a roster holds, one whose header is millions of
// unknown columns, and one of 500 units with long names, whose texts are kept and saved (its
// time is mostly the save's wait for the disk: the processor time is shown too).
#include "bench_rosters.h"
#include "process_memory.h"

#include "roster_commands.h"
#include "roster_writer.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <streambuf>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using brevorn::bench::resetPeak;
using brevorn::bench::statusKiB;

// Processor time, user and system, of this process so far.
double processorSeconds()
{
    struct rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double mib(double bytes)
{
    return bytes / (1024 * 1024);
}

// Counts what the command writes to standard error, line by line, and keeps none of it.
class CountingBuffer : public std::streambuf
{
public:
    std::size_t bytes = 0;
    std::size_t lines = 0;

protected:
    int_type overflow(int_type c) override
    {
        if (c != traits_type::eof()) {
            ++bytes;
            lines += c == '\n';
        }
        return c;
    }
};

void probe(const std::string& what, const std::string& table)
{
    using namespace brevorn;
    const std::string roster = bench::benchDataPath("brevorn-import-target.txt");
    const std::string output = bench::benchDataPath("brevorn-import-result.txt");
    std::ofstream(roster, std::ios::binary) << rosterFileBytes(*std::make_unique<Roster>(), bench::benchGame()).value();
    std::filesystem::remove(output);

    CountingBuffer counted;
    std::ostream err(&counted);
    const long baseline = resetPeak();
    const auto start = std::chrono::steady_clock::now();
    const double processorStart = processorSeconds();
    const int code = importTable({table, std::nullopt, roster, output}, err);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const long peak = statusKiB("VmHWM");
    const double processor = processorSeconds() - processorStart;

    const double size = static_cast<double>(std::filesystem::file_size(table));
    std::error_code missing;
    const auto written = std::filesystem::file_size(output, missing);
    std::cout << "import of " << what << " (" << mib(size) << " MiB): exit " << code << ", " << counted.lines
              << " lines (" << mib(static_cast<double>(counted.bytes)) << " MiB) on standard error, roster written "
              << (missing ? 0.0 : mib(static_cast<double>(written))) << " MiB; " << took.count() << " s (processor "
              << processor << " s), peak memory above baseline " << (peak - baseline) / 1024.0 << " MiB\n";
}

} // namespace

// Each import in a process of its own: memory that one import gave back to the allocator
// would otherwise hide what the next one needs.
void probeInChild(const std::string& what, const std::string& table)
{
    std::cout.flush();
    const pid_t child = ::fork();
    if (child == 0) {
        probe(what, table);
        std::cout.flush();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

int main()
{
    using namespace brevorn;
    const std::uint64_t size = bench::tableFileMiB();
    probeInChild("a table of bad rows", bench::badRowsTable(size));
    probeInChild("a table whose header is millions of unknown columns", bench::unknownColumnsTable(size));
    probeInChild("a table of 500 units with long names", bench::longNamesTable(size));
    return 0;
}
