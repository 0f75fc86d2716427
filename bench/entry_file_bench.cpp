// Load and save of the entry file, each against a baseline that reads or writes the same bytes,
// measured in the same run. Counters: us (per operation), baseline_us and ratio; the load also
// one_string_us and one_string_ratio, what reading and decoding the file into a single string
// takes.

#include "core/entry_file.h"
#include "core/entry_list.h"
#include "platform/codepage.h"
#include "file_and_list.h"
#include "platform/file.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace corvantis;
using Clock = std::chrono::steady_clock;
constexpr unsigned kGbk = 936;

std::filesystem::path ScratchFolder() {
    const auto folder = std::filesystem::temp_directory_path() / "corvantis-bench";
    std::filesystem::create_directories(folder);
    return folder;
}

std::u16string Utf16(const std::filesystem::path& path) {
    const std::string text = path.string();
    return {text.begin(), text.end()};
}

// The real entry file when it is here, or a 32,766-line file like it.
std::filesystem::path SourceFile(bool real) {
    if (real) {
        return CORVANTIS_SHARED_DATA "/bangs.txt";
    }
    const auto path = ScratchFolder() / "big.txt";
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < 32766; ++i) {
        out << "k" << i << " alt" << i << ":https://example.com/search?q={query}&n=" << i << "\r\n";
    }
    return path;
}

template <typename F> double MicrosPerCall(F&& f) {
    constexpr int kCalls = 30;
    f(); // warm the cache, like the measured runs
    const auto start = Clock::now();
    for (int i = 0; i < kCalls; ++i) {
        f();
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kCalls;
}

template <typename F> void RunAgainst(benchmark::State& state, double baseline, F&& f) {
    const auto start = Clock::now();
    for (auto _ : state) {
        f();
    }
    const double micros = std::chrono::duration<double, std::micro>(Clock::now() - start).count() /
                          static_cast<double>(state.iterations());
    state.counters["us"] = micros;
    state.counters["baseline_us"] = baseline;
    state.counters["ratio"] = micros / baseline;
}

// The file a benchmark reads (bangs.txt, or generated lines), as its lines and its bytes; nullopt,
// the benchmark skipped, without it.
struct Source {
    std::filesystem::path path;
    std::vector<std::u16string> lines;
    std::string bytes;
};

std::optional<Source> ReadSource(benchmark::State& state) {
    const auto path = SourceFile(state.range(0) == 1);
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("no shared/data/bangs.txt here: skipped");
        return std::nullopt;
    }
    state.SetLabel(state.range(0) == 1 ? "bangs.txt" : "32766 lines");
    return Source{path, core::EntryFile(Utf16(path), kGbk).Read()->Decode(),
                  *platform::ReadFileBytes(Utf16(path))};
}

void BM_Load(benchmark::State& state) {
    const auto source = ReadSource(state);
    if (!source) {
        return;
    }
    const auto path = Utf16(source->path);
    const double baseline =
        MicrosPerCall([&] { benchmark::DoNotOptimize(platform::ReadFileBytes(path)); });
    core::EntryFile file(path, kGbk);
    core::EntryList list;
    RunAgainst(state, baseline, [&] {
        corvantis::testing::Load(file, list);
        benchmark::DoNotOptimize(list.Count());
    });
    // For comparison: reading the file and decoding it into one string, as a load would take
    // with no string (and no heap block) per line.
    const double oneString = MicrosPerCall([&] {
        const auto bytes = platform::ReadFileBytes(path);
        benchmark::DoNotOptimize(platform::DecodeCodePage(*bytes, kGbk));
    });
    state.counters["one_string_us"] = oneString;
    state.counters["one_string_ratio"] = oneString / baseline;
}

void BM_Save(benchmark::State& state) {
    const auto source = ReadSource(state);
    if (!source) {
        return;
    }
    const auto& [path, lines, bytes] = *source;
    const auto target = Utf16(ScratchFolder() / "data.txt");
    // The baseline writes the same bytes the same safe way: new file, flushed, renamed.
    const double baseline = MicrosPerCall([&] { platform::WriteFileAtomically(target, bytes); });
    core::EntryFile file(target, kGbk);
    core::EntryList list;
    list.Append(lines);
    // The first save finds a file written a moment ago, which it waits on to be sure it is
    // whole: measured are the saves after it, of a file this copy wrote. Each makes a change and
    // the next undoes it, so that every save writes the file.
    corvantis::testing::Save(file, list);
    bool added = false;
    RunAgainst(state, baseline, [&] {
        if (added) {
            list.Remove(0);
        } else {
            list.Insert(0, u"bench:x");
        }
        added = !added;
        corvantis::testing::Save(file, list);
    });
}

void BM_Encode(benchmark::State& state) {
    const auto source = ReadSource(state);
    if (!source) {
        return;
    }
    const auto& [path, lines, bytes] = *source;
    const auto target = ScratchFolder() / "plain.txt";
    // Against a plain, unflushed write of the bytes: what building the file's bytes costs.
    const double baseline = MicrosPerCall([&] {
        std::FILE* file = std::fopen(target.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    });
    RunAgainst(state, baseline,
               [&] { benchmark::DoNotOptimize(core::EncodeEntryLines(lines, kGbk)); });
}

BENCHMARK(BM_Load)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Encode)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace
