// Speed of brevorn-roster's export, import and diff on full rosters of 500 units, without the disk.
#include "bench_rosters.h"

#include "roster_diff.h"
#include "roster_table.h"
#include "roster_writer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <sstream>

namespace {

using namespace brevorn;

const Roster& full()
{
    static const auto roster = std::make_unique<Roster>(bench::fullRoster());
    return *roster;
}

void BM_Export500Units_Csv(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(unitsAsCsv(full(), true, ','));
}
BENCHMARK(BM_Export500Units_Csv)->Unit(benchmark::kMicrosecond);

void BM_Export500Units_Json(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(rosterAsJson(full(), bench::benchGame()));
}
BENCHMARK(BM_Export500Units_Json)->Unit(benchmark::kMicrosecond);

// Reading the table, judging every value, and making the roster file's bytes: all of an
// import but the save.
template <class Import>
void importAndMakeBytes(benchmark::State& state, const std::string& table, Import import)
{
    auto roster = std::make_unique<Roster>();
    for (auto _ : state) {
        std::istringstream in(table);
        const ImportedTable imported = import(in);
        if (!roster->replaceUnits(imported.units))
            state.SkipWithError("the table holds more units than a roster");
        benchmark::DoNotOptimize(rosterFileBytes(*roster, bench::benchGame()));
    }
}

void BM_Import500Units_Csv(benchmark::State& state)
{
    importAndMakeBytes(state, unitsAsCsv(full(), true, ','), importCsv);
}
BENCHMARK(BM_Import500Units_Csv)->Unit(benchmark::kMicrosecond);

void BM_Import500Units_Json(benchmark::State& state)
{
    importAndMakeBytes(state, rosterAsJson(full(), bench::benchGame()), importJson);
}
BENCHMARK(BM_Import500Units_Json)->Unit(benchmark::kMicrosecond);

// After a battle: a few units gone, their places shifted, fields changed here and there.
const Roster& afterABattle()
{
    static const auto after = [] {
        auto after = std::make_unique<Roster>(full());
        const std::span<UnitRecord> units = after->units();
        for (std::size_t i = 0; i < units.size(); i += 7)
            units[i].unit_losses = "5";
        std::vector<UnitRecord> kept(units.begin(), units.end());
        for (int gone : {450, 300, 120, 3})
            kept.erase(kept.begin() + gone - 1);
        if (!after->replaceUnits(std::move(kept)))
            std::abort();
        return after;
    }();
    return *after;
}

// The worst case for the alignment: no unit in common, so the whole 500 by 500 table is filled.
const Roster& nothingInCommon()
{
    static const auto after = [] {
        auto after = std::make_unique<Roster>(full());
        for (UnitRecord& unit : after->units())
            unit.unit_name += " (new)";
        return after;
    }();
    return *after;
}

void diffBench(benchmark::State& state, const Roster& after, std::string (*show)(const RosterDiff&))
{
    for (auto _ : state) {
        const RosterDiff diff = diffRosters(full(), bench::benchGame(), after, bench::benchGame());
        benchmark::DoNotOptimize(show(diff));
    }
}

void BM_Diff500Units_AfterABattle_Text(benchmark::State& state)
{
    diffBench(state, afterABattle(), diffAsText);
}
BENCHMARK(BM_Diff500Units_AfterABattle_Text)->Unit(benchmark::kMicrosecond);

void BM_Diff500Units_AfterABattle_Json(benchmark::State& state)
{
    diffBench(state, afterABattle(), diffAsJson);
}
BENCHMARK(BM_Diff500Units_AfterABattle_Json)->Unit(benchmark::kMicrosecond);

void BM_Diff500Units_NothingInCommon_Text(benchmark::State& state)
{
    diffBench(state, nothingInCommon(), diffAsText);
}
BENCHMARK(BM_Diff500Units_NothingInCommon_Text)->Unit(benchmark::kMicrosecond);

// All 1,000 units written out in full.
void BM_Diff500Units_NothingInCommon_Json(benchmark::State& state)
{
    diffBench(state, nothingInCommon(), diffAsJson);
}
BENCHMARK(BM_Diff500Units_NothingInCommon_Json)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
