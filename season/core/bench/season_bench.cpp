// Detection and apply on generated trees of generic add-on folders (plus the whole
// catalogue), at several sizes, so that the cost per folder can be compared.
#include "active_season.h"
#include "apply.h"
#include "detection.h"
#include "sample_tree.h"

#include "platform/files.h"

#include <benchmark/benchmark.h>

#include <chrono>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

// One generated tree per size, made on first use and removed at exit.
class Trees {
public:
    explicit Trees(std::string name) : name_(std::move(name)) {}
    ~Trees() {
        for (const auto& [n, path] : trees_) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }

    const std::string& Get(int folders) {
        auto it = trees_.find(folders);
        if (it != trees_.end())
            return it->second;
        std::string base = platform::TempFolder() + name_ + "-" + std::to_string(folders) + "/";
        std::error_code ignored;
        std::filesystem::remove_all(base, ignored);
        platform::MakeFolders(base);
        testing_support::LayOutCatalogue(base);
        for (int i = 0; i < folders; ++i)
            testing_support::LayOutGenericAddon(base, "Addon " + std::to_string(100000 + i));
        return trees_.emplace(folders, base).first->second;
    }

private:
    std::string name_;
    std::map<int, std::string> trees_;
};

Trees& AllTrees() {
    static Trees trees("season-bench");
    return trees;
}

// Trees that keep the guarded row's guard file and season folders.
Trees& GuardedTrees() {
    static Trees trees("season-bench-guarded");
    return trees;
}

void PerFolder(benchmark::State& state, int folders) {
    state.SetComplexityN(folders);
    state.counters["folders"] = folders;
    state.counters["per_folder"] = benchmark::Counter(
        folders, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Detection(benchmark::State& state) {
    const int folders = static_cast<int>(state.range(0));
    const std::string& base = AllTrees().Get(folders);
    for (auto _ : state) {
        season::SwitcherState s;
        s.BaseFolder = base;
        season::ScanSubFolders(s);
        season::ProbeCatalogue(s);
        benchmark::DoNotOptimize(s.AddonList.data());
    }
    PerFolder(state, folders);
}

void BM_ApplyWinter(benchmark::State& state) {
    const int folders = static_cast<int>(state.range(0));
    const std::string& base = AllTrees().Get(folders);
    season::SwitcherState s;
    s.BaseFolder = base;
    season::ScanSubFolders(s);
    season::ProbeCatalogue(s);
    // The guarded row would copy its folder once per entry; leave its guard out so
    // that the figures show the per-folder work of the generic rule.
    std::filesystem::remove_all(base + "Brenholt");
    s.seasons.SeasonIndex = season::kWinter;
    for (auto _ : state)
        season::ApplySeason(s, {});
    PerFolder(state, folders);
}

// A whole winter run on a tree whose guarded row has its season folder: the row's
// folder copy is part of the run, with every catalogue add-on detected.
void BM_ApplyWinterWithGuardedRow(benchmark::State& state) {
    const int folders = static_cast<int>(state.range(0));
    const std::string& base = GuardedTrees().Get(folders);
    season::SwitcherState s;
    s.BaseFolder = base;
    season::ScanSubFolders(s);
    season::ProbeCatalogue(s);
    s.seasons.SeasonIndex = season::kWinter;
    season::ApplyResult last;
    for (auto _ : state)
        last = season::ApplySeason(s, {});
    PerFolder(state, folders);
    state.counters["operations"] = static_cast<double>(last.total);
    state.counters["failures"] = static_cast<double>(last.failures);
}

// Finding the active season on the tree a winter switch has just made (the 25
// catalogue add-ons plus the generic ones), against that switch itself, timed
// once on the same tree before the loop: "switch_ms" and "ratio" (at most 0.1).
void BM_ActiveSeasonAgainstASwitch(benchmark::State& state) {
    const int folders = static_cast<int>(state.range(0));
    const std::string& base = GuardedTrees().Get(folders);
    season::SwitcherState s;
    s.BaseFolder = base;
    season::ScanSubFolders(s);
    season::ProbeCatalogue(s);
    s.seasons.SeasonIndex = season::kWinter;
    season::ApplySeason(s, {}); // the first run creates the targets
    const auto start = std::chrono::steady_clock::now();
    season::ApplySeason(s, {});
    const double switchMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    // Counts the byte comparisons: size and time decide in the common case.
    struct Counting : season::FileSystem {
        int byteReads = 0;
        bool SameBytes(const std::string& a, const std::string& b) override {
            ++byteReads;
            return FileSystem::SameBytes(a, b);
        }
    } fs;
    season::ActiveSeasons found;
    double activeMs = 0;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        found = season::FindActiveSeasons(s, fs);
        activeMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count();
    }
    activeMs /= static_cast<double>(state.iterations());
    state.counters["addons"] = static_cast<double>(found.addons.size());
    state.counters["winter"] = found.activity == season::Activity::Season ? 1 : 0;
    state.counters["byte_reads"] =
        static_cast<double>(fs.byteReads) / static_cast<double>(state.iterations());
    state.counters["switch_ms"] = switchMs;
    state.counters["active_ms"] = activeMs;
    state.counters["ratio"] = activeMs / switchMs;
}

} // namespace

BENCHMARK(BM_ActiveSeasonAgainstASwitch)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyWinterWithGuardedRow)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Detection)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyWinter)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
