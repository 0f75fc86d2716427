// The merge of a save, where another program changed the file, against a baseline measured in the
// same run: numbering every line of both sides once, the least any match of them does. Counters:
// us (per merge), baseline_us and ratio.

#include "core/line_merge.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

using namespace corvantis;
using Clock = std::chrono::steady_clock;
constexpr size_t kLines = 32766;

struct Sides {
    std::vector<std::string> base;
    std::vector<std::string> theirs;
    const char* label;
};

std::vector<std::string> EntryLines(const char* prefix) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < kLines; ++i) {
        std::string line(prefix);
        line += std::to_string(i);
        line += ":https://example.com/search?q={query}";
        lines.push_back(std::move(line));
    }
    return lines;
}

Sides SidesFor(int kind) {
    std::mt19937 random(18);
    Sides sides{EntryLines("k"), {}, ""};
    switch (kind) {
    case 0: // an outside edit: one line added at the top, one deleted in the middle
        sides.theirs = sides.base;
        sides.theirs.insert(sides.theirs.begin(), "new:x");
        sides.theirs.erase(sides.theirs.begin() + kLines / 2);
        sides.label = "one added, one deleted";
        break;
    case 1:
        sides.theirs = EntryLines("z");
        sides.label = "every line rewritten";
        break;
    case 2:
        sides.theirs = sides.base;
        std::shuffle(sides.theirs.begin(), sides.theirs.end(), random);
        sides.label = "every line moved";
        break;
    case 3:
        sides.base.assign(5000, "g:https://example.com/?q={query}");
        sides.theirs = sides.base;
        sides.theirs.insert(sides.theirs.begin(), "top:x");
        sides.theirs.insert(sides.theirs.begin() + 2500, "middle:x");
        sides.theirs.push_back("end:x");
        sides.label = "5000 repeated lines";
        break;
    default: // no line occurs once, and the other side reordered them all
        for (auto* side : {&sides.base, &sides.theirs}) {
            side->clear();
            for (size_t i = 0; i < kLines; ++i) {
                side->push_back(random() % 2 == 0 ? "a:x" : "b:x");
            }
        }
        sides.label = "two lines in random order";
    }
    return sides;
}

void BM_Merge(benchmark::State& state) {
    const Sides sides = SidesFor(static_cast<int>(state.range(0)));
    const std::vector<std::string_view> base(sides.base.begin(), sides.base.end());
    const std::vector<std::string_view> theirs(sides.theirs.begin(), sides.theirs.end());
    std::vector<core::OurLine> ours;
    for (size_t i = 0; i < base.size(); ++i) {
        ours.push_back({i, i == base.size() / 3}); // one line of ours edited
    }
    ours.erase(ours.begin() + static_cast<std::ptrdiff_t>(base.size() / 4)); // one deleted
    constexpr int kBaselineCalls = 10;
    const auto start = Clock::now();
    for (int call = 0; call < kBaselineCalls; ++call) {
        std::unordered_map<std::string_view, unsigned> numbers;
        numbers.reserve(base.size() + theirs.size());
        for (const auto* side : {&base, &theirs}) {
            for (const std::string_view line : *side) {
                numbers.try_emplace(line, static_cast<unsigned>(numbers.size()));
            }
        }
        benchmark::DoNotOptimize(numbers.size());
    }
    const double baseline =
        std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kBaselineCalls;
    const auto measured = Clock::now();
    for (auto _ : state) {
        benchmark::DoNotOptimize(core::MergeLines(base, ours, theirs));
    }
    const double micros =
        std::chrono::duration<double, std::micro>(Clock::now() - measured).count() /
        static_cast<double>(state.iterations());
    state.counters["us"] = micros;
    state.counters["baseline_us"] = baseline;
    state.counters["ratio"] = micros / baseline;
    state.SetLabel(sides.label);
}

BENCHMARK(BM_Merge)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

} // namespace
