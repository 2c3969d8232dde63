// RemoveSceneryAreas on generated scenery library files of 1,000, 5,000 and 20,000
// areas, removing 1 % of them: the whole call (read, parse, test every title, one
// atomic rewrite) and the in-memory part alone. The fitted complexity shows the
// growth; time per area is printed as a counter.
//
// BM_EditAgainstDurableRewrite measures, in one run and on the same file, the floor
// that no edit can go below (read the file, write it whole to a temporary file
// beside it, flush, rename over it: platform::ReadWholeFile and
// platform::ReplaceFileContent) and the edit itself, and prints both with their ratio.
#include "platform/file_replace.h"
#include "platform/files.h"
#include "profile_file.h"
#include "scenery_generator.h"
#include "scenery_library.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace {

std::string BenchFile() {
    static const std::string path =
        platform::TempFolder() + "sweepstone-bench-" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".cfg";
    return path;
}

void SetCounters(benchmark::State& state, size_t areas, size_t bytes) {
    state.SetComplexityN(static_cast<int64_t>(areas));
    state.counters["areas"] = static_cast<double>(areas);
    state.counters["removed"] = static_cast<double>(sweepstone_bench::ProductAreaCount(areas));
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["per_area"] = benchmark::Counter(static_cast<double>(areas),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

void BM_RemoveSceneryAreas(benchmark::State& state) {
    const size_t areas = static_cast<size_t>(state.range(0));
    const std::string library = sweepstone_bench::SceneryLibrary(areas);
    const std::string logText = sweepstone_bench::ProductLogText();
    const std::string path = BenchFile();
    for (auto _ : state) {
        state.PauseTiming();
        if (platform::WriteWholeFile(path, library))
            throw std::runtime_error("cannot write " + path);
        state.ResumeTiming();
        if (sweepstone::RemoveSceneryAreas(path, logText))
            throw std::runtime_error("removal failed");
    }
    std::string after;
    platform::ReadWholeFile(path, after);
    if (sweepstone::ProfileDocument(after).SectionCount() !=
        areas + 1 - sweepstone_bench::ProductAreaCount(areas))
        state.SkipWithError("wrong number of areas removed");
    std::remove(path.c_str());
    SetCounters(state, areas, library.size());
}

void BM_ParseTestAndCutInMemory(benchmark::State& state) {
    const size_t areas = static_cast<size_t>(state.range(0));
    const std::string library = sweepstone_bench::SceneryLibrary(areas);
    const std::string logText = sweepstone_bench::ProductLogText();
    for (auto _ : state) {
        const sweepstone::ProfileDocument doc(library);
        benchmark::DoNotOptimize(doc.BytesWithoutSections(sweepstone::MarkedAreas(doc, logText)));
    }
    SetCounters(state, areas, library.size());
}

void BM_EditAgainstDurableRewrite(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const size_t areas = static_cast<size_t>(state.range(0));
    const std::string library = sweepstone_bench::SceneryLibrary(areas);
    const std::string logText = sweepstone_bench::ProductLogText();
    const std::string path = BenchFile();
    double floorSeconds = 0;
    double editSeconds = 0;
    for (auto _ : state) {
        if (platform::WriteWholeFile(path, library))
            throw std::runtime_error("cannot write " + path);
        const auto floorStart = Clock::now();
        std::string bytes;
        if (platform::ReadWholeFile(path, bytes) || platform::ReplaceFileContent(path, bytes))
            throw std::runtime_error("durable rewrite failed");
        const auto floorEnd = Clock::now();
        if (platform::WriteWholeFile(path, library))
            throw std::runtime_error("cannot write " + path);
        const auto editStart = Clock::now();
        if (sweepstone::RemoveSceneryAreas(path, logText))
            throw std::runtime_error("removal failed");
        const auto editEnd = Clock::now();
        floorSeconds += std::chrono::duration<double>(floorEnd - floorStart).count();
        editSeconds += std::chrono::duration<double>(editEnd - editStart).count();
        state.SetIterationTime(std::chrono::duration<double>(editEnd - editStart).count());
    }
    std::remove(path.c_str());
    const double n = static_cast<double>(state.iterations());
    state.counters["floor_ms"] = floorSeconds / n * 1e3;
    state.counters["edit_ms"] = editSeconds / n * 1e3;
    state.counters["ratio"] = editSeconds / floorSeconds;
    state.counters["edit_per_area_us"] = editSeconds / n / static_cast<double>(areas) * 1e6;
    state.counters["areas"] = static_cast<double>(areas);
}

} // namespace

BENCHMARK(BM_RemoveSceneryAreas)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_EditAgainstDurableRewrite)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_ParseTestAndCutInMemory)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

BENCHMARK_MAIN();
