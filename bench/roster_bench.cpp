// Speed of reading and writing roster files, with a raw read of the same bytes beside the reader.
#include "bench_rosters.h"

#include "roster_reader.h"
#include "roster_writer.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

namespace {

using namespace brevorn;

const std::string& fullRosterBytes()
{
    static const std::string bytes = rosterFileBytes(bench::fullRoster(), bench::benchGame()).value();
    return bytes;
}

// Parsing 500 units, without the disk: the reader's cost per roster (target: under 0.5 ms).
void BM_Read500Units_InMemory(benchmark::State& state)
{
    for (auto _ : state) {
        std::istringstream in(fullRosterBytes());
        auto roster = std::make_unique<Roster>();
        auto read = readRoster(in, "bench", *roster);
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(BM_Read500Units_InMemory)->Unit(benchmark::kMicrosecond);

// Parsing and formatting 500 units, without the disk.
void BM_ReadThenWrite500Units_InMemory(benchmark::State& state)
{
    for (auto _ : state) {
        std::istringstream in(fullRosterBytes());
        auto roster = std::make_unique<Roster>();
        auto read = readRoster(in, "bench", *roster);
        auto bytes = rosterFileBytes(*roster, bench::benchGame());
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_ReadThenWrite500Units_InMemory)->Unit(benchmark::kMicrosecond);

// What LOAD then SAVE cost: the file read, and the file written, synced and checked.
void BM_ReadFile500Units(benchmark::State& state)
{
    std::string path = bench::benchDataPath("brevorn-500.txt");
    std::ofstream(path, std::ios::binary) << fullRosterBytes();
    for (auto _ : state) {
        auto roster = std::make_unique<Roster>();
        auto read = ReadRosterFile(path, *roster);
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(BM_ReadFile500Units)->Unit(benchmark::kMicrosecond);

void BM_WriteFile500Units(benchmark::State& state)
{
    std::string path = bench::benchDataPath("brevorn-500-written.txt");
    Roster roster = bench::fullRoster();
    GameSettings game = bench::benchGame();
    for (auto _ : state) {
        auto error = WriteRosterFile(path, roster, game.Day_Counter, game.Theatre, game.Season);
        benchmark::DoNotOptimize(error);
    }
}
BENCHMARK(BM_WriteFile500Units)->Unit(benchmark::kMicrosecond);

// The same bytes, read in the same chunk size, touched by nothing: the floor for the reader.
void rawRead(benchmark::State& state, const std::string& path)
{
    std::vector<char> buffer(1 << 16);
    std::uint64_t total = 0;
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
            total += static_cast<std::uint64_t>(in.gcount());
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
}

void readerRead(benchmark::State& state, const std::string& path)
{
    std::uint64_t total = 0;
    for (auto _ : state) {
        auto roster = std::make_unique<Roster>();
        auto read = ReadRosterFile(path, *roster);
        if (!read.ok())
            state.SkipWithError(read.error().message.c_str());
        total += std::filesystem::file_size(path);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
}

void BM_RawRead_Large(benchmark::State& state)
{
    rawRead(state, bench::largeRosterFile(bench::largeFileMiB()));
}
void BM_Reader_Large(benchmark::State& state)
{
    readerRead(state, bench::largeRosterFile(bench::largeFileMiB()));
}
void BM_RawRead_Dense(benchmark::State& state)
{
    rawRead(state, bench::denseRosterFile(bench::largeFileMiB() / 4));
}
void BM_Reader_Dense(benchmark::State& state)
{
    readerRead(state, bench::denseRosterFile(bench::largeFileMiB() / 4));
}
// Raw read first, so both find the file in the page cache.
BENCHMARK(BM_RawRead_Large)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Reader_Large)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawRead_Dense)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Reader_Dense)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
