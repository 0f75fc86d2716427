// Saves racing a program that writes data.txt without a lock, or another copy through another
// hard link (tests/entry_file_races.h): each
// setting runs 300 rounds and reports how many lost an entry of either side. Counters: rounds,
// lost (the goal is 0).

#include "entry_file_races.h"

#include <benchmark/benchmark.h>

namespace {

using namespace corvantis;
using std::chrono::milliseconds;

constexpr int kRounds = 300;

template <typename Round> void CountLosses(benchmark::State& state, Round&& round) {
    std::mt19937 random(27);
    const testing::TempDir dir;
    int lost = 0;
    for (auto _ : state) {
        for (int i = 0; i < kRounds; ++i) {
            lost += round(dir, random) ? 0 : 1;
        }
    }
    state.counters["rounds"] = kRounds;
    state.counters["lost"] = lost;
}

void BM_RacePausedWriter(benchmark::State& state) {
    const milliseconds pause(state.range(0));
    CountLosses(state, [&](const testing::TempDir& dir, std::mt19937& random) {
        return testing::PausedWriterRound(dir, pause, random);
    });
    state.SetLabel("writer pausing " + std::to_string(pause.count()) + " ms");
}

void BM_RaceAppend(benchmark::State& state) {
    CountLosses(state, testing::AppendRound);
    state.SetLabel("append 0-1 ms into the save");
}

void BM_RaceTwoLinks(benchmark::State& state) {
    CountLosses(state, testing::TwoLinksRound);
    state.SetLabel("two copies through two hard links");
}

BENCHMARK(BM_RacePausedWriter)->Arg(60)->Arg(120)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RaceAppend)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RaceTwoLinks)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
