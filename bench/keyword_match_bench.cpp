// One resolution (reading the entry file included, and what each match opens) against a baseline
// that reads the same file and scans its bytes once for line ends, both timed in the same
// iterations.
// Counters: us (resolution), baseline_us, ratio (us / baseline_us), and for comparison text_us,
// what the reference reader alone takes on the same file, and read_us, what reading the file as
// stored lines takes.

#include "core/launcher.h"
#include "platform/file.h"
#include "reference_reader.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace corvantis;
using Clock = std::chrono::steady_clock;
constexpr unsigned kGbk = 936;
constexpr int kGeneratedLines = 32'766;

std::filesystem::path GeneratedFile() {
    const auto folder = std::filesystem::temp_directory_path() / "corvantis-resolve-bench";
    std::filesystem::create_directories(folder);
    const auto path = folder / "data.txt";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < kGeneratedLines; ++i) {
        out << "k" << i << " alt" << i << (i % 4096 == 0 ? " many" : "")
            << ":https://example.com/search?q={query}&n=" << i << "\r\n";
    }
    return path;
}

std::filesystem::path SourceFile(bool real) {
    if (real) {
        return CORVANTIS_SHARED_DATA "/bangs.txt";
    }
    static const auto generated = GeneratedFile();
    return generated;
}

size_t CountLineEnds(const std::u16string& path) {
    const auto bytes = platform::ReadFileBytes(path);
    if (!bytes) {
        return 0;
    }
    const std::string_view text = *bytes;
    size_t count = 0;
    for (size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', lf + 1)) {
        ++count;
    }
    return count;
}

double Micros(Clock::duration elapsed) {
    return std::chrono::duration<double, std::micro>(elapsed).count();
}

void BM_Resolve(benchmark::State& state, bool real, std::u16string request, size_t matches) {
    const auto source = SourceFile(real);
    if (!std::filesystem::exists(source)) {
        state.SkipWithError("no shared/data/bangs.txt here: skipped");
        return;
    }
    const std::u16string path = source.u16string();
    const core::EntryFile file(path, kGbk);
    const core::Launcher launcher(source.parent_path().u16string(), core::EntryFile(path, kGbk));
    if (core::Resolve(launcher.Match(request)).size() != matches) {
        state.SkipWithError("the request does not match as expected");
        return;
    }

    double resolve = 0;
    double baseline = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(core::Resolve(launcher.Match(request)));
        const auto resolved = Clock::now();
        benchmark::DoNotOptimize(CountLineEnds(path));
        const auto scanned = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(resolved - start).count());
        resolve += Micros(resolved - start);
        baseline += Micros(scanned - resolved);
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["us"] = resolve / iterations;
    state.counters["baseline_us"] = baseline / iterations;
    state.counters["ratio"] = resolve / baseline;

    // Apart from the loop above, whose heap it would disturb with its two copies of the text.
    constexpr int kTextReads = 20;
    const auto textStart = Clock::now();
    for (int i = 0; i < kTextReads; ++i) {
        benchmark::DoNotOptimize(testing::ReadFileText(path, kGbk));
    }
    state.counters["text_us"] = Micros(Clock::now() - textStart) / kTextReads;
    // What of the resolution is reading the file as stored lines (EntryFile::Read), before any
    // line is looked at.
    const auto readStart = Clock::now();
    for (int i = 0; i < kTextReads; ++i) {
        benchmark::DoNotOptimize(file.Read());
    }
    state.counters["read_us"] = Micros(Clock::now() - readStart) / kTextReads;
}

BENCHMARK_CAPTURE(BM_Resolve, bangs_nothing, true, u"zzz-none", 0)->UseManualTime();
BENCHMARK_CAPTURE(BM_Resolve, bangs_last_line, true, u"tsbb cats", 1)->UseManualTime();
BENCHMARK_CAPTURE(BM_Resolve, generated_nothing, false, u"zzz-none", 0)->UseManualTime();
BENCHMARK_CAPTURE(BM_Resolve, generated_last_line, false, u"k32765 cats", 1)->UseManualTime();
BENCHMARK_CAPTURE(BM_Resolve, generated_several, false, u"many cats", 8)->UseManualTime();

} // namespace
